// Draws every character that CP932 encodes once with the Picture's own text
// routine, and writes what it painted and how far it moved the pen as a C++
// table (GlyphText.h), for drawing TEXT where Qt cannot run.
//   kuv-glyphs OUTPUT.cpp
#include "language/Cp932.h"
#include "picture/Drawing.h"
#include "picture/Picture.h"

#include <QGuiApplication>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Drawn {
    int advance, left, top, width, height;
    std::vector<bool> bits;
};

// Where a glyph is drawn on the scratch Picture, and how far around it its
// pixels are looked for.
constexpr int kPen = 32, kTop = 32, kReach = 32;

Drawn Draw(char16_t ch) {
    kuv::Picture p;
    const std::u16string text(1, ch);
    kuv::DrawString(p, kPen, kuv::Picture::RowOf(kTop), 0, text);
    int x0 = 1000, y0 = 1000, x1 = -1, y1 = -1;
    for (int row = kTop - kReach; row < kTop + 2 * kReach; ++row)
        for (int x = kPen - kReach; x < kPen + 3 * kReach; ++x)
            if (p.At(x, row) != kuv::kWhite) {
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, row), y1 = std::max(y1, row);
            }
    Drawn d{kuv::TextAdvance(text), 0, 0, 0, 0, {}};
    if (x1 < 0) return d;
    d.left = x0 - kPen, d.top = y0 - kTop, d.width = x1 - x0 + 1, d.height = y1 - y0 + 1;
    for (int row = y0; row <= y1; ++row)
        for (int x = x0; x <= x1; ++x) d.bits.push_back(p.At(x, row) != kuv::kWhite);
    return d;
}

// Every character that one or two CP932 bytes encode, once.
std::vector<char16_t> Characters() {
    std::map<char16_t, bool> seen;
    const auto add = [&](const std::string& bytes) {
        const std::u16string u = kuv::DecodeCp932(bytes);
        if (u.size() == 1 && (u[0] < 0xF780 || u[0] > 0xF87F) && u[0] >= 0x20) seen[u[0]] = true;
    };
    for (int b = 0x20; b < 0x100; ++b) add(std::string(1, static_cast<char>(b)));
    for (int lead = 0x81; lead <= 0xFC; ++lead)
        for (int trail = 0x40; trail <= 0xFC; ++trail) add({static_cast<char>(lead), static_cast<char>(trail)});
    std::vector<char16_t> out;
    for (const auto& [ch, _] : seen) out.push_back(ch);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: kuv-glyphs OUTPUT.cpp\n", stderr);
        return 2;
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    std::string glyphs, bits;
    std::vector<bool> all;
    std::size_t count = 0;
    for (const char16_t ch : Characters()) {
        const Drawn d = Draw(ch);
        glyphs += "    {" + std::to_string(ch) + ", " + std::to_string(d.advance) + ", " + std::to_string(d.left) + ", " +
                  std::to_string(d.top) + ", " + std::to_string(d.width) + ", " + std::to_string(d.height) + ", " +
                  std::to_string(all.size()) + "},\n";
        all.insert(all.end(), d.bits.begin(), d.bits.end());
        ++count;
    }
    for (std::size_t i = 0; i < all.size(); i += 8) {
        int byte = 0;
        for (std::size_t b = 0; b < 8 && i + b < all.size(); ++b) byte |= all[i + b] << b;
        bits += std::to_string(byte) + (i / 8 % 24 == 23 ? ",\n" : ",");
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "// Made by kuv-glyphs while building; not to be edited.\n#include \"picture/GlyphText.h\"\n\n"
           "namespace kuv {\nnamespace {\n\nconst Glyph kGlyphs[] = {\n"
        << glyphs << "};\n\nconst std::uint8_t kBits[] = {\n" << bits
        << "\n};\n\n}  // namespace\n\nconst GlyphTable& BuiltGlyphs() {\n    static const GlyphTable table{kGlyphs, "
        << count << ", kBits};\n    return table;\n}\n\n}  // namespace kuv\n";
    out.close();
    return out ? 0 : 1;
}
