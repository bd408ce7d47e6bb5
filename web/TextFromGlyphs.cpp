// TEXT where Qt cannot run: the glyphs that the desktop's own text routine
// drew while building (GlyphText.h), laid down one after another.
#include "picture/Drawing.h"
#include "picture/GlyphText.h"

#include <algorithm>

namespace kuv {

void DrawString(Picture& p, int x, int y, int c, std::u16string_view text) {
    DrawStringFromGlyphs(p, x, y, c, text, BuiltGlyphs());
}

int TextAdvance(std::u16string_view text) {
    const GlyphTable& table = BuiltGlyphs();
    int advance = 0;
    for (const char16_t ch : text) {
        const Glyph* end = table.glyphs + table.count;
        const Glyph* g = std::lower_bound(table.glyphs, end, ch, [](const Glyph& a, char16_t b) { return a.ch < b; });
        if (g != end && g->ch == ch) advance += g->advance;
    }
    return advance;
}

}  // namespace kuv
