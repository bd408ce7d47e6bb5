// TEXT where Qt cannot run: the glyphs that the desktop's own text routine
// drew while building (GlyphText.h), laid down one after another.
#include "picture/Drawing.h"
#include "picture/GlyphText.h"

namespace kuv {

void DrawString(Picture& p, int x, int y, int c, std::u16string_view text) {
    DrawStringFromGlyphs(p, x, y, c, text, BuiltGlyphs());
}

}  // namespace kuv
