// TEXT without a font engine: every character drawn once, at build time, by
// DrawString itself, kept as its pixels and its advance, and laid down one
// after another. Where Qt cannot run (the browser edition), this draws the
// same pixels as DrawString; the table comes from the build machine's
// IPAPGothic at the Picture's 13 pixels.
#pragma once

#include "Picture.h"

#include <cstdint>
#include <string_view>

namespace kuv {

struct Glyph {
    char16_t ch;
    std::int8_t advance;
    // The pixels' box, relative to the pen on the top edge of the cell.
    std::int8_t left, top;
    std::uint8_t width, height;
    std::uint32_t bits;  // index of the first bit in GlyphTable::bits, rows top down
};

struct GlyphTable {
    const Glyph* glyphs;  // sorted by ch
    std::size_t count;
    const std::uint8_t* bits;
};

// The glyph of a character; null when the table lacks it.
const Glyph* FindGlyph(const GlyphTable& table, char16_t ch);

// The table the build made; empty where it was not made.
const GlyphTable& BuiltGlyphs();

// DrawString's pixels from a table. A character the table lacks draws
// nothing and takes no room.
void DrawStringFromGlyphs(Picture& p, int x, int y, int c, std::u16string_view text, const GlyphTable& table);

}  // namespace kuv
