#include "GraphUnit1.h"

#include "language/RunHistory.h"
#include "picture/PictureImage.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace kuv {
namespace {

QString PointText(QPoint kuv) { return QStringLiteral("%1 %2").arg(kuv.x()).arg(kuv.y()); }

// Where the tooltip stands: near the point, but not over it.
constexpr QPoint kTipOffset(12, 16);

}  // namespace

PictureView::PictureView(const Picture& picture, int zoom, QWidget* parent)
    : QWidget(parent), picture_(picture), blinkTimer_(new QTimer(this)), zoom_(std::max(1, zoom)) {
    blinkTimer_->setInterval(kBlinkMs);
    connect(blinkTimer_, &QTimer::timeout, this, [this] {
        blinkOn_ = !blinkOn_;
        update();
    });
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("KUVグラフィックの絵"));
}

QPoint PictureView::KuvPointAt(QPoint at) const {
    return {std::clamp(at.x() / zoom_, 0, Picture::kWidth - 1),
            Picture::RowOf(std::clamp(at.y() / zoom_, 0, Picture::kHeight - 1))};
}

QPoint PictureView::ViewPointOf(QPoint kuv) const {
    return {kuv.x() * zoom_ + zoom_ / 2, Picture::RowOf(kuv.y()) * zoom_ + zoom_ / 2};
}

void PictureView::Describe(QPoint kuv, QPoint globalAt) {
    if (!aids_) return;
    const QString text = aids_->DescribePoint(kuv.x(), kuv.y());
    QToolTip::showText(globalAt + kTipOffset, text, this);
    setAccessibleDescription(text);
}

void PictureView::SetSummary(const QString& summary) {
    summary_ = summary;
    setAccessibleDescription(summary);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(this, summary);
    QAccessible::updateAccessibility(&announcement);
#endif
}

void PictureView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (!aids_ || !rect().contains(at)) return QWidget::mouseMoveEvent(e);
    Describe(KuvPointAt(at), e->globalPosition().toPoint());
}

void PictureView::leaveEvent(QEvent* e) {
    if (!hasFocus()) {
        QToolTip::hideText();
        setAccessibleDescription(summary_);
    }
    QWidget::leaveEvent(e);
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (!aids_ || e->button() != Qt::LeftButton || !rect().contains(at)) return QWidget::mouseDoubleClickEvent(e);
    const QPoint kuv = KuvPointAt(at);
    aids_->InsertPoint(kuv.x(), kuv.y());
}

void PictureView::keyPressEvent(QKeyEvent* e) {
    const int step = e->modifiers() & Qt::ShiftModifier ? 10 : 1;
    QPoint moved = crosshair_;
    switch (e->key()) {
        case Qt::Key_Left: moved.rx() -= step; break;
        case Qt::Key_Right: moved.rx() += step; break;
        case Qt::Key_Up: moved.ry() += step; break;
        case Qt::Key_Down: moved.ry() -= step; break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (aids_) aids_->InsertPoint(crosshair_.x(), crosshair_.y());
            return;
        case Qt::Key_Menu:
            return ShowMenu(crosshair_, mapToGlobal(ViewPointOf(crosshair_)), true);
        case Qt::Key_F10:
            if (e->modifiers() == Qt::ShiftModifier)
                return ShowMenu(crosshair_, mapToGlobal(ViewPointOf(crosshair_)), true);
            return QWidget::keyPressEvent(e);
        default: return QWidget::keyPressEvent(e);
    }
    crosshair_ = {std::clamp(moved.x(), 0, Picture::kWidth - 1), std::clamp(moved.y(), 0, Picture::kHeight - 1)};
    update();
    Describe(crosshair_, mapToGlobal(ViewPointOf(crosshair_)));
}

void PictureView::focusInEvent(QFocusEvent* e) {
    update();
    Describe(crosshair_, mapToGlobal(ViewPointOf(crosshair_)));
    QWidget::focusInEvent(e);
}

void PictureView::focusOutEvent(QFocusEvent* e) {
    update();
    QToolTip::hideText();
    setAccessibleDescription(summary_);
    QWidget::focusOutEvent(e);
}

bool PictureView::focusNextPrevChild(bool) {
    // The Picture is the window's only stop: Tab goes back to the listing.
    if (aids_) aids_->ReturnToListing();
    return true;
}

std::unique_ptr<QMenu> PictureView::ContextMenu(QPoint kuv) {
    auto menu = std::make_unique<QMenu>(this);
    QAction* owner = menu->addAction(QStringLiteral("この点をかいた行へ移動"));
    owner->setObjectName(QStringLiteral("ShowOwner"));
    owner->setEnabled(aids_ && aids_->CanShowOwner(kuv.x(), kuv.y()));
    connect(owner, &QAction::triggered, this, [this, kuv] { aids_->ShowOwner(kuv.x(), kuv.y()); });
    QAction* copy = menu->addAction(QStringLiteral("座標をコピー"));
    copy->setObjectName(QStringLiteral("CopyPoint"));
    connect(copy, &QAction::triggered, this, [kuv] { QApplication::clipboard()->setText(PointText(kuv)); });
    menu->addSeparator();
    const bool stages = aids_ && aids_->CanShowStages();
    QAction* follow = menu->addAction(QStringLiteral("カーソルの行まで表示"));
    follow->setObjectName(QStringLiteral("FollowCaret"));
    follow->setCheckable(true);
    follow->setChecked(stages && aids_->FollowsCaret());
    follow->setEnabled(stages);
    connect(follow, &QAction::toggled, this, [this](bool on) { aids_->SetFollowCaret(on); });
    QAction* replay = menu->addAction(QStringLiteral("描画を再生"));
    replay->setObjectName(QStringLiteral("Replay"));
    replay->setEnabled(stages);
    connect(replay, &QAction::triggered, this, [this] { aids_->Replay(); });
    menu->addSeparator();
    QAction* words = menu->addAction(QStringLiteral("絵の説明"));
    words->setObjectName(QStringLiteral("ShowDescription"));
    words->setEnabled(aids_ != nullptr);
    connect(words, &QAction::triggered, this, [this] { aids_->ShowDescription(); });
    return menu;
}

void PictureView::ShowMenu(QPoint kuv, QPoint globalAt, bool fromKeyboard) {
    QToolTip::hideText();
    const std::unique_ptr<QMenu> menu = ContextMenu(kuv);
    // Opened from the keyboard, its first item that can be chosen is
    // selected, so that Enter chooses it.
    if (fromKeyboard) {
        const QList<QAction*> actions = menu->actions();
        const auto first = std::find_if(actions.begin(), actions.end(), [](QAction* a) { return a->isEnabled(); });
        if (first != actions.end()) QTimer::singleShot(0, menu.get(), [m = menu.get(), a = *first] { m->setActiveAction(a); });
    }
    menu->exec(globalAt);
}

void PictureView::contextMenuEvent(QContextMenuEvent* e) {
    if (e->reason() == QContextMenuEvent::Keyboard)
        return ShowMenu(crosshair_, mapToGlobal(ViewPointOf(crosshair_)), true);
    ShowMenu(KuvPointAt(e->pos()), e->globalPos(), false);
}

void PictureView::ShowStage(const Picture* stage, Owner line) {
    stage_ = stage;
    marked_ = QImage();
    blinkTimer_->stop();
    if (stage && line != 0 && stage->RecordsOwners()) {
        marked_ = QImage(Picture::kWidth, Picture::kHeight, QImage::Format_RGB32);
        StageFrame(*stage, line, true, reinterpret_cast<Pixel*>(marked_.bits()));
        blinkOn_ = true;
        blinkTimer_->start();
    }
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // Nearest neighbour: every Picture pixel stays a sharp square.
    const QRect all(0, 0, Picture::kWidth * zoom_, Picture::kHeight * zoom_);
    painter.drawImage(all, PictureImage(stage_ ? *stage_ : picture_));
    if (!marked_.isNull() && blinkOn_) painter.drawImage(all, marked_);
    if (!hasFocus()) return;
    // The crosshair: two short strokes each side of the point, in the
    // colour that differs from any pixel below it, and the keyboard frame.
    const QPoint c = ViewPointOf(crosshair_);
    const int gap = 3 * zoom_, arm = 10 * zoom_;
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, zoom_));
    painter.drawLine(c.x() - arm, c.y(), c.x() - gap, c.y());
    painter.drawLine(c.x() + gap, c.y(), c.x() + arm, c.y());
    painter.drawLine(c.x(), c.y() - arm, c.x(), c.y() - gap);
    painter.drawLine(c.x(), c.y() + gap, c.x(), c.y() + arm);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DashLine));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

TFormG::TFormG(int zoom, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormG"));
    setWindowTitle(QStringLiteral("KUVグラフィック"));
    setAttribute(Qt::WA_QuitOnClose, false);  // its close button only hides it
    zoom = std::max(1, zoom);
    setFixedSize(Picture::kWidth * zoom, Picture::kHeight * zoom);
    // The point under the mouse is shown even while the main window is the
    // active one, as it is right after a run.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    Image1 = new PictureView(picture_, zoom, this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, Picture::kWidth * zoom, Picture::kHeight * zoom);
}

void TFormG::PictureChanged() { Image1->update(); }

}  // namespace kuv
