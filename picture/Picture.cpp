#include "Picture.h"

#include <algorithm>
#include <cstdlib>

namespace kuv {

Picture::Picture() : pixels_(static_cast<std::size_t>(kWidth) * kHeight, kWhite) {}

void Picture::RecordOwners() {
    if (owners_.empty()) owners_.assign(pixels_.size(), 0);
}

void Picture::FillRect(int x0, int row0, int x1, int row1, Pixel colour) {
    x0 = std::max(x0, 0);
    row0 = std::max(row0, 0);
    x1 = std::min(x1, kWidth);
    row1 = std::min(row1, kHeight);
    for (int row = row0; row < row1; ++row) {
        const std::size_t line = static_cast<std::size_t>(row) * kWidth;
        std::fill(pixels_.data() + line + x0, pixels_.data() + line + std::max(x0, x1), colour);
        if (!owners_.empty()) std::fill(owners_.data() + line + x0, owners_.data() + line + std::max(x0, x1), owner_);
    }
}

void Picture::LineTo(int x1, int row1, Pixel colour) {
    owners_.empty() ? LineToImpl<false>(x1, row1, colour) : LineToImpl<true>(x1, row1, colour);
}

void Picture::BorderFill(int x, int row, Pixel fill, Pixel border) {
    owners_.empty() ? BorderFillImpl<false>(x, row, fill, border) : BorderFillImpl<true>(x, row, fill, border);
}

template <bool kRecord>
void Picture::LineToImpl(int x1, int row1, Pixel colour) {
    int x = posX_, row = posRow_;
    posX_ = x1;
    posRow_ = row1;
    const int dx = std::abs(x1 - x), dy = -std::abs(row1 - row);
    const int sx = x < x1 ? 1 : -1, sy = row < row1 ? 1 : -1;
    int err = dx + dy;
    const bool inside = Contains(x, row) && Contains(x1, row1);
    Pixel* const data = pixels_.data();
    // Held in locals: stores through data could otherwise alias them.
    Owner* const owners = owners_.data();
    const Owner owner = owner_;
    while (x != x1 || row != row1) {
        if (inside || Contains(x, row)) {
            data[row * kWidth + x] = colour;
            if constexpr (kRecord) owners[row * kWidth + x] = owner;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            row += sy;
        }
    }
}

template <bool kRecord>
void Picture::BorderFillImpl(int x, int row, Pixel fill, Pixel border) {
    if (!Contains(x, row) || At(x, row) == border) return;
    if (fillMarks_.empty()) fillMarks_.assign(pixels_.size(), 0);
    if (++fillStamp_ == 0) {
        std::fill(fillMarks_.begin(), fillMarks_.end(), 0);
        fillStamp_ = 1;
    }
    const std::uint16_t stamp = fillStamp_;
    Pixel* const data = pixels_.data();
    std::uint16_t* const marks = fillMarks_.data();
    Owner* const owners = owners_.data();
    const Owner owner = owner_;
    auto open = [&](std::size_t i) { return marks[i] != stamp && data[i] != border; };

    fillStack_.clear();
    fillStack_.push_back({x, row});
    while (!fillStack_.empty()) {
        const Seed s = fillStack_.back();
        fillStack_.pop_back();
        const std::size_t base = static_cast<std::size_t>(s.row) * kWidth;
        if (!open(base + s.x)) continue;
        // The whole run of open pixels through the seed: no pixel of it has
        // been reached yet, since a run is always painted whole.
        int left = s.x, right = s.x;
        while (left > 0 && open(base + left - 1)) --left;
        while (right < kWidth - 1 && open(base + right + 1)) ++right;
        for (int i = left; i <= right; ++i) {
            data[base + i] = fill;
            marks[base + i] = stamp;
        }
        if constexpr (kRecord) std::fill(owners + base + left, owners + base + right + 1, owner);
        // One seed for every run of open pixels above and below.
        for (int r : {s.row - 1, s.row + 1}) {
            if (r < 0 || r >= kHeight) continue;
            const std::size_t rb = static_cast<std::size_t>(r) * kWidth;
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool o = open(rb + i);
                if (o && !inRun) fillStack_.push_back({i, r});
                inRun = o;
            }
        }
    }
}

}  // namespace kuv
