#include "GraphUnit1.h"

#include "picture/PictureImage.h"

#include <QPainter>

namespace kuv {

PictureView::PictureView(const Picture& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(QPoint(0, 0), PictureImage(picture_));
}

TFormG::TFormG(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormG"));
    setWindowTitle(QStringLiteral("KUVグラフィック"));
    setAttribute(Qt::WA_QuitOnClose, false);  // its close button only hides it
    setFixedSize(Picture::kWidth, Picture::kHeight);
    move(19, 181);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    // Text is 10 points high at the screen's vertical resolution: 13 pixels
    // at 96 dots per inch, 17 at 120 (rounded as MulDiv rounds).
    picture_.SetTextPixelSize((10 * logicalDpiY() + 36) / 72);
    Image1 = new PictureView(picture_, this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, Picture::kWidth, Picture::kHeight);
}

void TFormG::PictureChanged() { Image1->update(); }

}  // namespace kuv
