#include "picture/Png.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kuv {
namespace {

void AppendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// A chunk: its length, type, data and the CRC of type and data.
void AppendChunk(std::string& out, const char* type, const std::string& data) {
    AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    out += data;
    const auto* crcFrom = reinterpret_cast<const Bytef*>(out.data() + typeAt);
    AppendBigEndian(out, static_cast<std::uint32_t>(crc32(0, crcFrom, static_cast<uInt>(4 + data.size()))));
}

// The picture's colours in the order met and each pixel's index among
// them; nothing when there are more than 256. A drawing has a handful.
struct Indexed {
    std::vector<Pixel> palette;
    std::vector<std::uint8_t> indices;
};

std::optional<Indexed> IndexedColours(const Picture& picture) {
    constexpr std::size_t kSlots = 1024;  // open addressing, a quarter full at most
    std::array<Pixel, kSlots> keys;
    std::array<std::int16_t, kSlots> slots;
    slots.fill(-1);
    Indexed out;
    const std::size_t count = std::size_t{Picture::kWidth} * Picture::kHeight;
    out.indices.resize(count);
    const Pixel* pixels = picture.Pixels();
    Pixel last = ~pixels[0];
    std::uint8_t lastIndex = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Pixel p = pixels[i] | 0xFF000000u;
        if (p != last) {
            std::size_t slot = (p * 2654435761u) >> 22 & (kSlots - 1);
            while (slots[slot] >= 0 && keys[slot] != p) slot = (slot + 1) & (kSlots - 1);
            if (slots[slot] < 0) {
                if (out.palette.size() == 256) return std::nullopt;
                keys[slot] = p;
                slots[slot] = static_cast<std::int16_t>(out.palette.size());
                out.palette.push_back(p);
            }
            last = p;
            lastIndex = static_cast<std::uint8_t>(slots[slot]);
        }
        out.indices[i] = lastIndex;
    }
    return out;
}

// Deflates the image data a row at a time: each row its filter type 0
// (none), then the row's bytes from rowBytes(y, row).
template <class RowBytes>
std::string ImageData(std::size_t rowSize, RowBytes rowBytes) {
    z_stream stream{};
    deflateInit(&stream, Z_BEST_SPEED);
    std::string out;
    std::vector<unsigned char> row(1 + rowSize);
    std::array<unsigned char, 1 << 16> chunk;
    for (int y = 0; y < Picture::kHeight; ++y) {
        rowBytes(y, row.data() + 1);
        stream.next_in = row.data();
        stream.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == Picture::kHeight ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = chunk.data();
            stream.avail_out = static_cast<uInt>(chunk.size());
            deflate(&stream, flush);
            out.append(reinterpret_cast<const char*>(chunk.data()), chunk.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

std::string Header(int colourType) {
    std::string header;
    AppendBigEndian(header, Picture::kWidth);
    AppendBigEndian(header, Picture::kHeight);
    // 8 bits, the colour type, deflate, no filter, no interlace.
    header += std::string{'\x08', static_cast<char>(colourType), '\0', '\0', '\0'};
    return header;
}

void AppendRgb(std::string& png, const Picture& picture) {
    AppendChunk(png, "IHDR", Header(2));
    AppendChunk(png, "IDAT", ImageData(3 * Picture::kWidth, [&](int y, unsigned char* row) {
                    for (int x = 0; x < Picture::kWidth; ++x) {
                        const ColorRef c = ColorRefFromPixel(picture.At(x, y));
                        row[3 * x] = c & 0xFF;
                        row[3 * x + 1] = (c >> 8) & 0xFF;
                        row[3 * x + 2] = (c >> 16) & 0xFF;
                    }
                }));
}

void AppendIndexed(std::string& png, const Indexed& indexed) {
    AppendChunk(png, "IHDR", Header(3));
    std::string palette;
    for (const Pixel p : indexed.palette) {
        const ColorRef c = ColorRefFromPixel(p);
        palette += {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), static_cast<char>((c >> 16) & 0xFF)};
    }
    AppendChunk(png, "PLTE", palette);
    AppendChunk(png, "IDAT", ImageData(Picture::kWidth, [&](int y, unsigned char* row) {
                    const std::uint8_t* from = indexed.indices.data() + std::size_t{Picture::kWidth} * y;
                    std::copy(from, from + Picture::kWidth, row);
                }));
}

}  // namespace

std::string EncodeFastPng(const Picture& picture) {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    if (const std::optional<Indexed> indexed = IndexedColours(picture))
        AppendIndexed(png, *indexed);
    else
        AppendRgb(png, picture);
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace kuv
