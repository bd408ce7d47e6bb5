#include "Bmp.h"

#include <cstring>

namespace kuv {
namespace {

void Put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const Picture& picture) {
    constexpr std::uint32_t kHeaderSize = 14 + 40;
    constexpr std::uint32_t kRowBytes = Picture::kWidth * 4;  // already a multiple of 4
    constexpr std::uint32_t kImageSize = kRowBytes * Picture::kHeight;
    std::vector<std::uint8_t> out(kHeaderSize + kImageSize);
    std::uint8_t* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, kHeaderSize + kImageSize);
    Put32(h + 10, kHeaderSize);
    Put32(h + 14, 40);
    Put32(h + 18, Picture::kWidth);
    Put32(h + 22, Picture::kHeight);  // positive: bottom row first
    Put16(h + 26, 1);
    Put16(h + 28, 32);
    Put32(h + 34, kImageSize);
    // Compression, resolution and colour counts stay 0.

    std::uint8_t* dst = h + kHeaderSize;
    for (int row = Picture::kHeight - 1; row >= 0; --row) {
        const Pixel* src = picture.Pixels() + static_cast<std::size_t>(row) * Picture::kWidth;
        for (int x = 0; x < Picture::kWidth; ++x) {
            // Blue, green, red, then an unused byte written as 0.
            Put32(dst, src[x] & 0x00FFFFFFu);
            dst += 4;
        }
    }
    return out;
}

}  // namespace kuv
