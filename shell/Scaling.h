// The windows are laid out for 96 dots per inch and scaled to the desktop's
// text size when they are created: their fonts by the desktop's dots per
// inch over 96, their controls and places by the ratio of the window font's
// new height to its design height of 12 pixels. The Picture is enlarged by
// the nearest whole factor, so that its pixels stay sharp squares.
#pragma once

#include <QPoint>
#include <QRect>

#include <algorithm>

namespace kuv {

struct Scaling {
    int dpi = 96;

    // A font's pixel height at this resolution, rounded as MulDiv rounds.
    int FontPx(int designPx) const { return (designPx * dpi + 48) / 96; }
    // A position or size of a control or a window.
    int Px(int design) const { return (design * FontPx(12) + 6) / 12; }
    QRect Rect(int x, int y, int w, int h) const { return QRect(Px(x), Px(y), Px(w), Px(h)); }
    QPoint Point(int x, int y) const { return QPoint(Px(x), Px(y)); }
    // Screen pixels per Picture pixel, each way.
    int PictureZoom() const { return std::max(1, (dpi + 48) / 96); }
};

}  // namespace kuv
