#include "Drawing.h"

#include <utility>
#include "WalkSteps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace kuv {
namespace {

// The walks' points relative to the centre: for radius r and step k,
// R(cos(k / 100) * r) and R(sin(k / 100) * r) in extended precision. They
// depend on r and k alone, so they are worked out once for every radius a
// listing can give (0 to 320) and every step an arc can reach.
constexpr int kMaxRadius = 320;
constexpr int kSteps = kWalkSteps;

struct Offset {
    long dx, dy;
};
// Table entries: every offset of a radius up to 320 fits 16 bits.
struct SmallOffset {
    std::int16_t dx, dy;
};

Offset ComputeOffset(long double c, long double s, int r) {
    return {static_cast<long>(RoundHalfEven(c * r)), static_cast<long>(RoundHalfEven(s * r))};
}

struct CosSin {
    long double c, s;
};
// cos(k / 100) and sin(k / 100), made while building.
constexpr CosSin kTrig[] = {
#include "trig_table.inc"
};
static_assert(sizeof kTrig / sizeof kTrig[0] == kSteps);

// The offsets of a radius are worked out as far as a circle or arc first
// needs them: in WebAssembly, where long double is done in software,
// working them all out at once made the first circle cost a third of a
// second.
class WalkTable {
public:
    WalkTable()
        : offsets_(static_cast<std::size_t>(kMaxRadius + 1) * kSteps), ready_(kMaxRadius + 1, 0) {}

    // Makes steps 0 to last of radius r ready for At.
    const WalkTable& Ready(int r, long last) {
        if (r < 0 || r > kMaxRadius) return *this;
        const int upTo = static_cast<int>(std::min<long>(last + 1, kSteps));
        for (int& k = ready_[static_cast<std::size_t>(r)]; k < upTo; ++k) {
            const Offset o = ComputeOffset(kTrig[k].c, kTrig[k].s, r);
            offsets_[static_cast<std::size_t>(r) * kSteps + static_cast<std::size_t>(k)] = {
                static_cast<std::int16_t>(o.dx), static_cast<std::int16_t>(o.dy)};
        }
        return *this;
    }
    Offset At(int r, long k) const {
        if (r >= 0 && r <= kMaxRadius && k >= 0 && k < ready_[static_cast<std::size_t>(r)]) {
            const SmallOffset o = offsets_[static_cast<std::size_t>(r) * kSteps + static_cast<std::size_t>(k)];
            return {o.dx, o.dy};
        }
        const long double t = static_cast<long double>(k) / 100.0L;
        return ComputeOffset(std::cos(t), std::sin(t), r);
    }

private:
    std::vector<SmallOffset> offsets_;  // [r * kSteps + k]
    std::vector<int> ready_;            // steps below this are in offsets_
};

// One table a thread (the batch draws on several), ready up to step last of
// radius r.
const WalkTable& WalkFor(int r, long last) {
    thread_local WalkTable table;
    return table.Ready(r, last);
}

}  // namespace

long double RoundHalfEven(long double v) {
    // Adding 1.5 * 2^63 moves v to where the spacing of extended-precision
    // numbers is exactly 1, so the addition itself rounds v to an integer,
    // halves to even (the default rounding mode, which nothing in the
    // program changes); subtracting it again is exact. This is what
    // nearbyint does, without its cost, for every |v| < 2^62; the walks
    // stay far below that.
    if (std::numeric_limits<long double>::digits != 64 || std::fabs(v) >= 0x1p62L) return std::nearbyint(v);
    constexpr long double kShift = 0x3p62L;
    volatile long double shifted = v + kShift;  // volatile: the rounding must happen here
    return shifted - kShift;
}

ArcSteps ArcStepRange(int s, int e) {
    // The products are exact integers; only the division is real.
    const long double start = static_cast<long double>(s * 628) / 360.0L;
    const long double end = static_cast<long double>(e * 628) / 360.0L;
    ArcSteps st{static_cast<long>(RoundHalfEven(start)), static_cast<long>(RoundHalfEven(end))};
    if (st.k1 < st.k0) st.k1 = static_cast<long>(RoundHalfEven(end + 628));
    return st;
}

void ClearPicture(Picture& p) {
    // A cleared pixel has no owner.
    const Owner owner = p.CurrentOwner();
    p.SetOwner(0);
    p.FillRect(0, 0, Picture::kWidth, Picture::kHeight, kWhite);
    p.SetOwner(owner);
}

void DrawLine(Picture& p, int x1, int y1, int x2, int y2, int c) {
    p.MoveTo(x1, Picture::RowOf(y1));
    p.LineTo(x2, Picture::RowOf(y2), PixelFromColorRef(ColorTable[c]));
}

void DrawBox(Picture& p, int x1, int y1, int x2, int y2, int c) {
    const Pixel pen = PixelFromColorRef(ColorTable[c]);
    p.MoveTo(x1, Picture::RowOf(y1));
    p.LineTo(x2, Picture::RowOf(y1), pen);
    p.LineTo(x2, Picture::RowOf(y2), pen);
    p.LineTo(x1, Picture::RowOf(y2), pen);
    p.LineTo(x1, Picture::RowOf(y1), pen);
}

void DrawCircle(Picture& p, int x, int y, int r, int c) {
    const Pixel pen = PixelFromColorRef(ColorTable[c]);
    const WalkTable& walk = WalkFor(r, 628);
    const int row = Picture::RowOf(y);
    p.MoveTo(x + r, row);
    // 629 steps of 1/100 radian stop just short of a full turn.
    for (int i = 0; i <= 628; ++i) {
        const Offset o = walk.At(r, i);
        p.LineTo(static_cast<int>(x + o.dx), static_cast<int>(row + o.dy), pen);
    }
}

void DrawArc(Picture& p, int x, int y, int r, int s, int e, int c) {
    const Pixel pen = PixelFromColorRef(ColorTable[c]);
    const ArcSteps st = ArcStepRange(s, e);
    const WalkTable& walk = WalkFor(r, st.k1);
    const int row = Picture::RowOf(y);
    const Offset start = walk.At(r, st.k0);
    p.MoveTo(static_cast<int>(x + start.dx), static_cast<int>(row - start.dy));
    for (long k = st.k0; k <= st.k1; ++k) {
        const Offset o = walk.At(r, k);
        p.LineTo(static_cast<int>(x + o.dx), static_cast<int>(row - o.dy), pen);
    }
}

bool ArcDrawsNothing(int x, int y, int r, int s, int e) {
    // The pen draws nothing when it never leaves the point where it starts.
    const ArcSteps st = ArcStepRange(s, e);
    if (st.k1 < st.k0 || r == 0) return true;
    const WalkTable& walk = WalkFor(r, st.k1);
    const int row = Picture::RowOf(y);
    const auto at = [&](long k) {
        const Offset o = walk.At(r, k);
        return std::pair(static_cast<int>(x + o.dx), static_cast<int>(row - o.dy));
    };
    const auto start = at(st.k0);
    for (long k = st.k0 + 1; k <= st.k1; ++k)
        if (at(k) != start) return false;
    return true;
}

void PaintArea(Picture& p, int x, int y, int f, int b) {
    p.BorderFill(x, Picture::RowOf(y), PixelFromColorRef(ColorTable[f]), PixelFromColorRef(ColorTable[b]));
}

void PaintArea24(Picture& p, int x, int y, int blue, int green, int red) {
    const ColorRef fill = static_cast<ColorRef>(blue) << 16 | static_cast<ColorRef>(green) << 8 | static_cast<ColorRef>(red);
    p.BorderFill(x, Picture::RowOf(y), PixelFromColorRef(fill), kBlack);
}

}  // namespace kuv
