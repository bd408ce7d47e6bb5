// The graphics window: shows the Picture at its natural size.
#pragma once

#include "picture/Picture.h"

#include <QWidget>

#include <memory>

class QMenu;

namespace kuv {

// What the Picture's mouse aids ask of the listing's window; points are
// KUV points, y counting up from the bottom.
class PictureAids {
public:
    virtual ~PictureAids() = default;
    // The tooltip: the point, its colour and the statement that painted it.
    virtual QString DescribePoint(int x, int y) = 0;
    // A double-click: the point's numbers go into the listing at the caret.
    virtual void InsertPoint(int x, int y) = 0;
    // Whether the line that painted the point can be shown, and showing it.
    virtual bool CanShowOwner(int x, int y) = 0;
    virtual void ShowOwner(int x, int y) = 0;
};

// Image1: paints the Picture's pixels without copying them, and answers the
// mouse: a tooltip for the point under it, a double-click that picks the
// point into the listing, a context menu.
class PictureView : public QWidget {
public:
    PictureView(const Picture& picture, QWidget* parent);
    void SetAids(PictureAids* aids) { aids_ = aids; }
    // The context menu for a point of the view.
    std::unique_ptr<QMenu> ContextMenu(QPoint at);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    const Picture& picture_;
    PictureAids* aids_ = nullptr;
};

class TFormG : public QWidget {
public:
    explicit TFormG(QWidget* parent = nullptr);

    Picture& GetPicture() { return picture_; }
    // Shows the Picture's current state at the next repaint.
    void PictureChanged();

    PictureView* Image1;

private:
    Picture picture_;
};

}  // namespace kuv
