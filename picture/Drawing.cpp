#include "Drawing.h"

#include <cfenv>
#include <cmath>
#include <vector>

namespace kuv {
namespace {

constexpr int kBottomRow = Picture::kHeight - 1;

// cos(k / 100) and sin(k / 100) in extended precision for every step that a
// circle or an arc can take: an arc ends at most at R(721 * 628 / 360) + 628.
constexpr int kSteps = 1258 + 628 + 1;
struct StepTable {
    std::vector<long double> cos, sin;
    StepTable() : cos(kSteps), sin(kSteps) {
        for (int k = 0; k < kSteps; ++k) {
            const long double t = static_cast<long double>(k) / 100.0L;
            cos[k] = std::cos(t);
            sin[k] = std::sin(t);
        }
    }
};
const StepTable& Steps() {
    static const StepTable table;
    return table;
}

int Scaled(long double unit, int r) { return static_cast<int>(RoundHalfEven(unit * r)); }

}  // namespace

long double RoundHalfEven(long double v) {
    // nearbyint follows the current rounding mode, which nothing in the
    // program changes from round-to-nearest-even.
    return std::nearbyint(v);
}

ArcSteps ArcStepRange(int s, int e) {
    // The products are exact integers; only the division is real.
    const long double start = static_cast<long double>(s * 628) / 360.0L;
    const long double end = static_cast<long double>(e * 628) / 360.0L;
    ArcSteps st{static_cast<long>(RoundHalfEven(start)), static_cast<long>(RoundHalfEven(end))};
    if (st.k1 < st.k0) st.k1 = static_cast<long>(RoundHalfEven(end + 628));
    return st;
}

void ClearPicture(Picture& p) { p.FillRect(0, 0, Picture::kWidth, Picture::kHeight, kWhite); }

void DrawLine(Picture& p, int x1, int y1, int x2, int y2, int c) {
    p.MoveTo(x1, kBottomRow - y1);
    p.LineTo(x2, kBottomRow - y2, PixelFromColorRef(ColorTable[c]));
}

void DrawBox(Picture& p, int x1, int y1, int x2, int y2, int c) {
    const Pixel pen = PixelFromColorRef(ColorTable[c]);
    p.MoveTo(x1, kBottomRow - y1);
    p.LineTo(x2, kBottomRow - y1, pen);
    p.LineTo(x2, kBottomRow - y2, pen);
    p.LineTo(x1, kBottomRow - y2, pen);
    p.LineTo(x1, kBottomRow - y1, pen);
}

void DrawCircle(Picture& p, int x, int y, int r, int c) {
    const Pixel pen = PixelFromColorRef(ColorTable[c]);
    const StepTable& t = Steps();
    const int row = kBottomRow - y;
    p.MoveTo(x + r, row);
    // 629 steps of 1/100 radian stop just short of a full turn.
    for (int i = 0; i <= 628; ++i) p.LineTo(x + Scaled(t.cos[i], r), row + Scaled(t.sin[i], r), pen);
}

void DrawArc(Picture& p, int x, int y, int r, int s, int e, int c) {
    const Pixel pen = PixelFromColorRef(ColorTable[c]);
    const StepTable& t = Steps();
    const int row = kBottomRow - y;
    const ArcSteps st = ArcStepRange(s, e);
    p.MoveTo(x + Scaled(t.cos[st.k0], r), row - Scaled(t.sin[st.k0], r));
    for (long k = st.k0; k <= st.k1; ++k) p.LineTo(x + Scaled(t.cos[k], r), row - Scaled(t.sin[k], r), pen);
}

void PaintArea(Picture& p, int x, int y, int f, int b) {
    p.BorderFill(x, kBottomRow - y, PixelFromColorRef(ColorTable[f]), PixelFromColorRef(ColorTable[b]));
}

void PaintArea24(Picture& p, int x, int y, int blue, int green, int red) {
    const ColorRef fill = static_cast<ColorRef>(blue) << 16 | static_cast<ColorRef>(green) << 8 | static_cast<ColorRef>(red);
    p.BorderFill(x, kBottomRow - y, PixelFromColorRef(fill), kBlack);
}

}  // namespace kuv
