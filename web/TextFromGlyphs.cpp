// TEXT where Qt cannot run: the glyphs that the desktop's own text routine
// drew while building (GlyphText.h), laid down one after another.
#include "picture/Drawing.h"
#include "picture/GlyphText.h"

namespace kuv {

void DrawString(Picture& p, int x, int y, int c, std::u16string_view text) {
    DrawStringFromGlyphs(p, x, y, c, text, BuiltGlyphs());
}

int TextAdvance(std::u16string_view text) {
    int advance = 0;
    for (const char16_t ch : text)
        if (const Glyph* g = FindGlyph(BuiltGlyphs(), ch)) advance += g->advance;
    return advance;
}

}  // namespace kuv
