#include "ErrorUnit1.h"

#include "Fonts.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace kuv {

TFormE::TFormE(const Scaling& scale, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormE"));
    setWindowTitle(QStringLiteral("ＫＵＶエラー"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(ProportionalFont(scale.FontPx(12)));
    // Outer size 399 x 594 with a usual frame; the controls keep their
    // places when the window is resized.
    resize(scale.Px(383), scale.Px(555));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(scale.Rect(8, 8, 369, 505));
    Memo1->setReadOnly(true);  // the message can be selected and copied
    Memo1->setAccessibleName(QStringLiteral("エラーの一覧"));
    Memo1->setFont(ProportionalFont(scale.FontPx(16)));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Text, Qt::red);
    Memo1->setPalette(pal);

    Button1 = new QPushButton(QStringLiteral("閉じる"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(scale.Rect(288, 520, 73, 25));
    Button1->setFont(ProportionalFont(scale.FontPx(16)));
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    setTabOrder(Memo1, Button1);
}

void TFormE::ClearLog() {
    log_.clear();
    Memo1->clear();
    SetExplanation(QString());
}

void TFormE::SetExplanation(const QString& explanation) {
    Memo1->setToolTip(explanation);
    Memo1->setAccessibleDescription(explanation);
}

void TFormE::AddLine(const QString& s) {
    log_ += s + QStringLiteral("\r\n");
    Memo1->setPlainText(log_);
}

void TFormE::Button1Click() {
    ClearLog();
    hide();
}

}  // namespace kuv
