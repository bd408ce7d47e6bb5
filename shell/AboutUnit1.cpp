#include "AboutUnit1.h"

#include "ProgramIcon.h"

#include "Fonts.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace kuv {

TFormA::TFormA(const Scaling& scale, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormA"));
    setWindowTitle(QStringLiteral("ＫＵＶ"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(ProportionalFont(scale.FontPx(14)));
    setFixedSize(scale.Px(244), scale.Px(128));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    BitBtn1 = new QPushButton(QIcon(ProgramPicture(scale.Px(32))), QStringLiteral("　ＫＵＶ　Ｖｅｒ １.４"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIconSize(QSize(scale.Px(32), scale.Px(32)));
    BitBtn1->setGeometry(scale.Rect(31, 12, 181, 63));
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    Label2 = new QLabel(QStringLiteral("(C) 2026 KUV 開発チーム"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(scale.Rect(19, 93, 216, 16));
    Label2->setFont(FixedFont(scale.FontPx(16)));
}

void TFormA::BitBtn1Click() { hide(); }

}  // namespace kuv
