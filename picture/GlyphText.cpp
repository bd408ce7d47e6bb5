#include "GlyphText.h"

#include "Drawing.h"

#include <algorithm>

namespace kuv {

const Glyph* FindGlyph(const GlyphTable& table, char16_t ch) {
    const Glyph* end = table.glyphs + table.count;
    const Glyph* g = std::lower_bound(table.glyphs, end, ch, [](const Glyph& a, char16_t b) { return a.ch < b; });
    return g != end && g->ch == ch ? g : nullptr;
}

void DrawStringFromGlyphs(Picture& p, int x, int y, int c, std::u16string_view text, const GlyphTable& table) {
    const Pixel colour = PixelFromColorRef(ColorTable[static_cast<std::size_t>(c)]);
    const int top = Picture::RowOf(y);
    int pen = x;
    for (const char16_t ch : text) {
        const Glyph* g = FindGlyph(table, ch);
        if (!g) continue;
        for (int row = 0; row < g->height; ++row) {
            for (int col = 0; col < g->width; ++col) {
                const std::uint32_t bit = g->bits + static_cast<std::uint32_t>(row * g->width + col);
                if (!(table.bits[bit / 8] >> (bit % 8) & 1)) continue;
                const int px = pen + g->left + col, prow = top + g->top + row;
                if (!Picture::Contains(px, prow)) continue;
                p.Pixels()[static_cast<std::size_t>(prow) * Picture::kWidth + px] = colour;
                p.Own(px, prow);
            }
        }
        pen += g->advance;
    }
}

}  // namespace kuv
