#include "GraphUnit1.h"

#include "picture/PictureImage.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace kuv {
namespace {

// The KUV point of a pixel of the view.
QPoint KuvPoint(QPoint at) { return {at.x(), Picture::kHeight - 1 - at.y()}; }

QString PointText(QPoint kuv) { return QStringLiteral("%1 %2").arg(kuv.x()).arg(kuv.y()); }

}  // namespace

PictureView::PictureView(const Picture& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PictureView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (!aids_ || !rect().contains(at)) return QWidget::mouseMoveEvent(e);
    const QPoint kuv = KuvPoint(at);
    // Near the pointer, but not under it; it follows as the pointer moves.
    QToolTip::showText(e->globalPosition().toPoint() + QPoint(12, 16), aids_->DescribePoint(kuv.x(), kuv.y()), this);
}

void PictureView::leaveEvent(QEvent* e) {
    QToolTip::hideText();
    QWidget::leaveEvent(e);
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (!aids_ || e->button() != Qt::LeftButton || !rect().contains(at)) return QWidget::mouseDoubleClickEvent(e);
    const QPoint kuv = KuvPoint(at);
    aids_->InsertPoint(kuv.x(), kuv.y());
}

std::unique_ptr<QMenu> PictureView::ContextMenu(QPoint at) {
    auto menu = std::make_unique<QMenu>(this);
    const QPoint kuv = KuvPoint(at);
    QAction* owner = menu->addAction(QStringLiteral("この点をかいた行へ移動"));
    owner->setObjectName(QStringLiteral("ShowOwner"));
    owner->setEnabled(aids_ && aids_->CanShowOwner(kuv.x(), kuv.y()));
    connect(owner, &QAction::triggered, this, [this, kuv] { aids_->ShowOwner(kuv.x(), kuv.y()); });
    QAction* copy = menu->addAction(QStringLiteral("座標をコピー"));
    copy->setObjectName(QStringLiteral("CopyPoint"));
    connect(copy, &QAction::triggered, this, [kuv] { QApplication::clipboard()->setText(PointText(kuv)); });
    return menu;
}

void PictureView::contextMenuEvent(QContextMenuEvent* e) {
    QToolTip::hideText();
    const std::unique_ptr<QMenu> menu = ContextMenu(e->pos());
    menu->exec(e->globalPos());
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
    // The point under the mouse is shown even while the main window is the
    // active one, as it is right after a run.
    setAttribute(Qt::WA_AlwaysShowToolTips);
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
