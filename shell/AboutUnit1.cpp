#include "AboutUnit1.h"

#include "ProgramIcon.h"

#include "Fonts.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace kuv {

QPixmap ProgramPicture() {
    QPixmap pm(32, 32);
    QPainter p(&pm);
    DrawProgramIcon(p);
    return pm;
}

TFormA::TFormA(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormA"));
    setWindowTitle(QStringLiteral("ＫＵＶ"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(ProportionalFont(14));
    setFixedSize(244, 128);
    move(554, 423);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    BitBtn1 = new QPushButton(QIcon(ProgramPicture()), QStringLiteral("　ＫＵＶ　Ｖｅｒ １.４"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIconSize(QSize(32, 32));
    BitBtn1->setGeometry(31, 12, 181, 63);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    Label2 = new QLabel(QStringLiteral("(C) 2026 KUV 開発チーム"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(19, 93, 216, 16);
    Label2->setFont(FixedFont(16));
}

void TFormA::BitBtn1Click() { hide(); }

}  // namespace kuv
