// Code page 932 (the Windows flavour of Shift_JIS): the byte rules the
// language works by, and a lossless codec between listing bytes and UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kuv {

// A lead byte starts a double-byte character; the byte after it belongs to
// the same character whatever its value.
inline bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Length in bytes of the character that starts at i: 2 for a lead byte that
// has a byte after it, otherwise 1.
inline std::size_t CharLengthAt(std::string_view s, std::size_t i) {
    return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// The longest prefix of s that holds at most maxBytes bytes and does not end
// inside a double-byte character.
std::string_view CutToWholeChars(std::string_view s, std::size_t maxBytes);

// Lossless decoding: every byte sequence decodes to a UTF-16 string that
// EncodeCp932 turns back into the same bytes. Bytes that are not valid CP932,
// or whose character would not encode back to the same bytes, decode to the
// private-use characters U+F780 + byte.
std::u16string DecodeCp932(std::string_view bytes);

// Encodes UTF-16 text; a character that CP932 cannot hold becomes '?'
// (one '?' per character, a surrogate pair included).
std::string EncodeCp932(std::u16string_view text);

// EncodeCp932 with every LF written as CR LF: the editor's text as listing
// bytes, in one pass.
std::string EncodeCp932Lines(std::u16string_view text);
// Its inverse: DecodeCp932 with every CR LF read as LF, listing bytes as
// the editor's text.
std::u16string DecodeCp932Lines(std::string_view bytes);

// Replaces every character that EncodeCp932 would turn into '?' by '?', so
// that the text shows exactly what saving it would write; so too every
// stand-in U+F780 + byte, which only loading may make: typed, it would be
// saved as that raw byte, a NUL or a line break among them. For text that
// enters the editor. Returns true when anything was replaced.
bool ReplaceUnencodable(std::u16string& text);

// Conversions for messages and paths shown outside the program's own windows.
std::string Cp932ToUtf8(std::string_view bytes);
std::string Utf8ToCp932(std::string_view utf8);

// The code point c as UTF-8, appended to out.
void AppendUtf8(char32_t c, std::string& out);
// Encodes UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Decodes UTF-8 leniently: a malformed byte becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace kuv
