// The graphics window: shows the Picture, enlarged by a whole factor on a
// screen of more than 96 dots per inch.
#pragma once

#include "picture/Picture.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QMenu;
class QTimer;

namespace kuv {

// What the Picture's aids ask of the listing's window; points are KUV
// points, y counting up from the bottom.
class PictureAids {
public:
    virtual ~PictureAids() = default;
    // The tooltip: the point, its colour and the statement that painted it.
    virtual QString DescribePoint(int x, int y) = 0;
    // A double-click or Enter: the point's numbers go into the listing at
    // the caret.
    virtual void InsertPoint(int x, int y) = 0;
    // Whether the line that painted the point can be shown, and showing it.
    virtual bool CanShowOwner(int x, int y) = 0;
    virtual void ShowOwner(int x, int y) = 0;
    // Tab out of the Picture: the keyboard goes back to the listing.
    virtual void ReturnToListing() = 0;
    // The view of the Picture after the caret's line, and the replay of the
    // last run: whether they can be had now, whether the view is on, and
    // turning it on or off; starting the replay.
    virtual bool CanShowStages() = 0;
    virtual bool FollowsCaret() = 0;
    virtual void SetFollowCaret(bool on) = 0;
    virtual void Replay() = 0;
    // 絵の説明: the window that puts the Picture in words.
    virtual void ShowDescription() = 0;
};

// Image1: paints the Picture's pixels without copying them, and answers the
// mouse and the keyboard: a tooltip for the point under the pointer or the
// crosshair, a double-click or Enter that picks the point into the listing,
// a context menu.
class PictureView : public QWidget {
public:
    PictureView(const Picture& picture, int zoom, QWidget* parent);
    void SetAids(PictureAids* aids) { aids_ = aids; }
    // The context menu for a KUV point.
    std::unique_ptr<QMenu> ContextMenu(QPoint kuv);
    // The KUV point shown at a position in the view.
    QPoint KuvPointAt(QPoint at) const;
    // Shows a stage of the last run in place of the Picture, the pixels
    // that line painted blinking; null brings back the Picture. The stage
    // must live until the next call.
    void ShowStage(const Picture* stage, Owner line);
    bool ShowsStage() const { return stage_ != nullptr; }
    // The Picture in words, as its accessible description, told to
    // assistive tools when it changes (after a run) without moving the
    // focus; the crosshair's point takes its place while the Picture has
    // the keyboard.
    void SetSummary(const QString& summary);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The centre of a KUV point's pixel in the view.
    QPoint ViewPointOf(QPoint kuv) const;
    // The tooltip and the accessible description for a point.
    void Describe(QPoint kuv, QPoint globalAt);
    void ShowMenu(QPoint kuv, QPoint globalAt, bool fromKeyboard);

    const Picture& picture_;
    const Picture* stage_ = nullptr;
    // The stage with its line's pixels in their highlight, shown every
    // other beat of blinkTimer_.
    QImage marked_;
    bool blinkOn_ = false;
    QTimer* blinkTimer_;
    const int zoom_;
    PictureAids* aids_ = nullptr;
    QPoint crosshair_{Picture::kWidth / 2, Picture::kHeight / 2};
    QString summary_;
};

class TFormG : public QWidget {
public:
    // zoom: how many screen pixels a Picture pixel takes each way.
    explicit TFormG(int zoom = 1, QWidget* parent = nullptr);

    Picture& GetPicture() { return picture_; }
    // Shows the Picture's current state at the next repaint.
    void PictureChanged();

    PictureView* Image1;

private:
    Picture picture_;
};

}  // namespace kuv
