#include "picture/Png.h"

#include <zlib.h>

#include <array>
#include <cstdint>

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

// The image data: each row its filter type 0 (none), then red, green and
// blue, deflated a row at a time so that no buffer of the whole picture is
// made.
std::string ImageData(const Picture& picture) {
    z_stream stream{};
    deflateInit(&stream, Z_BEST_SPEED);
    std::string out;
    std::array<unsigned char, 1 + 3 * Picture::kWidth> row{};
    std::array<unsigned char, 1 << 16> chunk;
    for (int y = 0; y < Picture::kHeight; ++y) {
        for (int x = 0; x < Picture::kWidth; ++x) {
            const ColorRef c = ColorRefFromPixel(picture.At(x, y));
            row[1 + 3 * x] = c & 0xFF;
            row[2 + 3 * x] = (c >> 8) & 0xFF;
            row[3 + 3 * x] = (c >> 16) & 0xFF;
        }
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

}  // namespace

std::string EncodeFastPng(const Picture& picture) {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    AppendBigEndian(header, Picture::kWidth);
    AppendBigEndian(header, Picture::kHeight);
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", ImageData(picture));
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace kuv
