// Small pictures of the raster as text, for tests that compare pixels.
#pragma once

#include "picture/Picture.h"

#include <string>

namespace kuv::test {

// One character per pixel of the region, one row per line (device rows from
// the top): '.' white, '#' black, 'b' blue, 'r' red, 'm' magenta, 'g' green,
// 's' sky blue, 'y' yellow, '?' any other colour.
inline std::string Art(const Picture& p, int x0, int row0, int width, int height) {
    std::string out;
    for (int row = row0; row < row0 + height; ++row) {
        for (int x = x0; x < x0 + width; ++x) {
            switch (ColorRefFromPixel(p.At(x, row))) {
                case 0xFFFFFF: out += '.'; break;
                case 0x000000: out += '#'; break;
                case 0xFF0000: out += 'b'; break;
                case 0x0000FF: out += 'r'; break;
                case 0xFF00FF: out += 'm'; break;
                case 0x008000: out += 'g'; break;
                case 0xFF8000: out += 's'; break;
                case 0x00FFFF: out += 'y'; break;
                default: out += '?';
            }
        }
        out += '\n';
    }
    return out;
}

// Joins rows written one per string into the form Art returns.
template <typename... Rows>
std::string Rows_(Rows... rows) {
    std::string out;
    ((out += rows, out += '\n'), ...);
    return out;
}

inline int CountPixels(const Picture& p, Pixel colour) {
    int n = 0;
    for (int i = 0; i < Picture::kWidth * Picture::kHeight; ++i) n += p.Pixels()[i] == colour;
    return n;
}

}  // namespace kuv::test
