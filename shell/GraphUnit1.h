// The graphics window: shows the Picture at its natural size.
#pragma once

#include "picture/Picture.h"

#include <QWidget>

namespace kuv {

// Image1: paints the Picture's pixels without copying them.
class PictureView : public QWidget {
public:
    PictureView(const Picture& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const Picture& picture_;
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
