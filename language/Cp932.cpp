#include "Cp932.h"

#include <array>
#include <memory>
#include <vector>

namespace kuv {
namespace {

constexpr char16_t kNone = 0xFFFF;          // no character: U+FFFF is never a CP932 character
constexpr std::uint16_t kNoBytes = 0xFFFF;  // no encoding: trail byte 0xFF is never valid
constexpr char16_t kRawByteBase = 0xF780;   // U+F780 + byte stands for a byte that is not text

bool IsRawByteChar(char16_t c) { return c >= kRawByteBase && c <= kRawByteBase + 0xFF; }

// The codec's table, made while building from the C library's CP932
// converter: only characters that survive a decode and an encode unchanged
// are in it, so that the codec can promise to give back every byte it was
// given.
struct Coded {
    std::uint16_t bytes;  // one byte below 0x100, else lead << 8 | trail
    char16_t ch;
};
constexpr Coded kCoded[] = {
#include "cp932_table.inc"
};

// The table as the codec looks things up.
struct Tables {
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pair = std::vector<char16_t>(128 * 256, kNone);  // (lead - 0x80) * 256 + trail
    std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(0x10000, kNoBytes);
    bool asciiSame = true;  // every ASCII character encodes as its own byte

    Tables() {
        single.fill(kNone);
        for (const Coded& c : kCoded) {
            if (c.bytes < 0x100) {
                single[c.bytes] = c.ch;
                encode[c.ch] = c.bytes;
            } else if (encode[c.ch] == kNoBytes) {  // the first way to write a character is its only one
                pair[static_cast<std::size_t>((c.bytes >> 8) - 0x80) * 256 + (c.bytes & 0xFF)] = c.ch;
                encode[c.ch] = c.bytes;
            }
        }
        for (char16_t c = 0; c < 0x80; ++c) asciiSame = asciiSame && encode[c] == c;
    }
};

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

// Writes the CP932 bytes of the character at text[i] to o (at most two) and
// moves o past them; returns the number of UTF-16 units used. Unencodable
// characters write '?'.
std::size_t EncodeCharTo(const Tables& t, std::u16string_view text, std::size_t i, char*& o) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        *o++ = '?';
        return 2;
    }
    if (IsRawByteChar(c)) {
        *o++ = static_cast<char>(c - kRawByteBase);
        return 1;
    }
    const std::uint16_t code = t.encode[c];
    if (code == kNoBytes) {
        *o++ = '?';
    } else if (code > 0xFF) {
        *o++ = static_cast<char>(code >> 8);
        *o++ = static_cast<char>(code & 0xFF);
    } else {
        *o++ = static_cast<char>(code);
    }
    return 1;
}

// The same, appended to out.
std::size_t EncodeCharAt(const Tables& t, std::u16string_view text, std::size_t i, std::string& out) {
    char bytes[2];
    char* o = bytes;
    const std::size_t used = EncodeCharTo(t, text, i, o);
    out.append(bytes, static_cast<std::size_t>(o - bytes));
    return used;
}

}  // namespace

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0 && i + extra < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char cb = static_cast<unsigned char>(s[i + k]);
            ok = (cb & 0xC0) == 0x80;
            c = c << 6 | (cb & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::string_view CutToWholeChars(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) return s;
    std::size_t end = 0;
    while (end < s.size()) {
        const std::size_t next = end + CharLengthAt(s, end);
        if (next > maxBytes) break;
        end = next;
    }
    return s.substr(0, end);
}

std::u16string DecodeCp932(std::string_view bytes) {
    const Tables& t = GetTables();
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (CharLengthAt(bytes, i) == 2) {
            const unsigned char trail = static_cast<unsigned char>(bytes[i + 1]);
            const char16_t c = t.pair[(b - 0x80) * 256 + trail];
            if (c != kNone) {
                out.push_back(c);
            } else {
                out.push_back(static_cast<char16_t>(kRawByteBase + b));
                out.push_back(static_cast<char16_t>(kRawByteBase + trail));
            }
            i += 2;
        } else {
            const char16_t c = t.single[b];
            out.push_back(c != kNone ? c : static_cast<char16_t>(kRawByteBase + b));
            ++i;
        }
    }
    return out;
}

namespace {

// Both encoders in one pass: every UTF-16 unit gives at most two bytes, an
// LF written as CR LF too.
std::string Encode(std::u16string_view text, bool lfAsCrLf) {
    const Tables& t = GetTables();
    std::string out(2 * text.size(), '\0');
    char* o = out.data();
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c == u'\n' && lfAsCrLf) {
            *o++ = '\r';
            *o++ = '\n';
            ++i;
        } else if (c < 0x80 && t.asciiSame) {
            *o++ = static_cast<char>(c);
            ++i;
        } else {
            i += EncodeCharTo(t, text, i, o);
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

}  // namespace

std::string EncodeCp932(std::u16string_view text) { return Encode(text, false); }

std::string EncodeCp932Lines(std::u16string_view text) { return Encode(text, true); }

std::u16string DecodeCp932Lines(std::string_view bytes) {
    // Every CR of a listing belongs to a CR LF (a CR after a lead byte
    // decodes as a private-use character), so dropping the CRs of CR LF
    // pairs is all that is needed.
    const std::u16string u = DecodeCp932(bytes);
    std::u16string out;
    out.reserve(u.size());
    for (std::size_t i = 0; i < u.size(); ++i)
        if (!(u[i] == u'\r' && i + 1 < u.size() && u[i + 1] == u'\n')) out.push_back(u[i]);
    return out;
}

bool ReplaceUnencodable(std::u16string& text) {
    const Tables& t = GetTables();
    bool replaced = false;
    std::u16string out;
    std::string scratch;
    for (std::size_t i = 0; i < text.size();) {
        scratch.clear();
        const std::size_t used = EncodeCharAt(t, text, i, scratch);
        const bool standIn = text[i] >= kRawByteBase && text[i] <= kRawByteBase + 0xFF;
        const bool isQuestion = standIn || (scratch == "?" && text[i] != u'?');
        if (isQuestion && !replaced) {
            out.assign(text, 0, i);
            replaced = true;
        }
        if (replaced) {
            if (isQuestion)
                out.push_back(u'?');
            else
                out.append(text, i, used);
        }
        i += used;
    }
    if (replaced) text.swap(out);
    return replaced;
}

std::string Cp932ToUtf8(std::string_view bytes) {
    const std::u16string u = DecodeCp932(bytes);
    std::string out;
    out.reserve(u.size() * 3);
    for (std::size_t i = 0; i < u.size(); ++i) {
        char32_t c = u[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(c, out);
    }
    return out;
}

std::string Utf8ToCp932(std::string_view utf8) { return EncodeCp932(Utf8ToUtf16(utf8)); }

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        AppendUtf8(c, out);
    }
    return out;
}

}  // namespace kuv
