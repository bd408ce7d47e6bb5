// The 641 x 481 drawing surface and the few raster operations that the
// drawing routines are made of.
#pragma once

#include <cstdint>
#include <vector>

namespace kuv {

// A colour in the 0x00BBGGRR layout that listings and the colour table use.
using ColorRef = std::uint32_t;
// A pixel in the raster's own layout, 0xFFRRGGBB (QImage::Format_RGB32).
using Pixel = std::uint32_t;
// The 1-based line of the rewritten listing that painted a pixel; 0 for none.
using Owner = std::uint32_t;

inline constexpr Pixel PixelFromColorRef(ColorRef c) {
    return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}
inline constexpr ColorRef ColorRefFromPixel(Pixel p) {
    return (p >> 16 & 0xFFu) | (p & 0xFF00u) | (p & 0xFFu) << 16;
}

inline constexpr Pixel kWhite = 0xFFFFFFFFu;
inline constexpr Pixel kBlack = 0xFF000000u;

class Picture {
public:
    static constexpr int kWidth = 641;
    static constexpr int kHeight = 481;
    // KUV counts y up from the bottom edge: KUV's y is the row (from the
    // top) kHeight - 1 - y, and the row's KUV y the same way back.
    static constexpr int RowOf(int y) { return kHeight - 1 - y; }

    // White from the start: a picture that no run has cleared yet still
    // shows and exports as white.
    Picture();

    Pixel* Pixels() { return pixels_.data(); }
    const Pixel* Pixels() const { return pixels_.data(); }
    // Device coordinates: column x from the left, row from the top.
    Pixel At(int x, int row) const { return pixels_[static_cast<std::size_t>(row) * kWidth + x]; }
    static bool Contains(int x, int row) {
        return static_cast<unsigned>(x) < static_cast<unsigned>(kWidth) &&
               static_cast<unsigned>(row) < static_cast<unsigned>(kHeight);
    }

    // Character height of DrawString, in pixels: 10 points at 96 dots per
    // inch, the Picture's own resolution, whatever the screen's: a listing
    // draws the same pixels on every screen and in every front-end.
    static constexpr int TextPixelSize() { return 13; }

    // Which line painted each pixel last, kept only once RecordOwners has
    // run: every pixel that a drawing operation writes, in whatever colour
    // it had, takes the current owner. Recording costs nothing until then.
    void RecordOwners();
    bool RecordsOwners() const { return !owners_.empty(); }
    const std::vector<Owner>& Owners() const { return owners_; }
    // The owners in the pixels' layout; only while RecordsOwners().
    Owner* OwnerData() { return owners_.data(); }
    Owner OwnerAt(int x, int row) const {
        return owners_.empty() ? 0 : owners_[static_cast<std::size_t>(row) * kWidth + x];
    }
    // The owner of what is drawn from now on.
    void SetOwner(Owner line) { owner_ = line; }
    Owner CurrentOwner() const { return owner_; }
    // Marks pixels as the current owner's without painting them (text,
    // which Qt paints).
    void Own(int x, int row) {
        if (!owners_.empty() && Contains(x, row)) owners_[static_cast<std::size_t>(row) * kWidth + x] = owner_;
    }

    // Paints [x0, x1) x [row0, row1), clipped to the picture.
    void FillRect(int x0, int row0, int x1, int row1, Pixel colour);
    void MoveTo(int x, int row) { posX_ = x; posRow_ = row; }
    // A Bresenham line, 8-connected, from the current position to (x, row)
    // without the end point, which becomes the current position. Pixels off
    // the picture are skipped: circles may reach past its edges.
    void LineTo(int x, int row, Pixel colour);
    // Paints every pixel 4-connected to the start without crossing a pixel
    // of the border colour. Pixels that already have the fill colour are
    // crossed like any other; nothing happens when the start pixel has the
    // border colour.
    void BorderFill(int x, int row, Pixel fill, Pixel border);

private:
    template <bool kRecord>
    void LineToImpl(int x, int row, Pixel colour);
    template <bool kRecord>
    void BorderFillImpl(int x, int row, Pixel fill, Pixel border);

    std::vector<Pixel> pixels_;
    std::vector<Owner> owners_;
    Owner owner_ = 0;
    int posX_ = 0, posRow_ = 0;
    // Marks of the pixels that the current fill has reached: a pixel counts
    // as reached when its mark equals fillStamp_, so no clearing per fill.
    std::vector<std::uint16_t> fillMarks_;
    std::uint16_t fillStamp_ = 0;
    struct Seed {
        int x, row;
    };
    std::vector<Seed> fillStack_;
};

}  // namespace kuv
