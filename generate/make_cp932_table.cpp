// Writes the CP932 codec's table while building, from the build machine's
// C library: every byte and byte pair that decodes to one UTF-16 unit and
// encodes back to the same bytes. The program that uses the table needs no
// CP932 converter of its own (the browser edition's C library has none).
//   kuv-cp932-table OUTPUT.inc
#include "language/Cp932.h"

#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// True when the bytes decode to exactly one UTF-16 unit that encodes back
// to the same bytes.
bool RoundTrips(iconv_t dec, iconv_t enc, const unsigned char* in, std::size_t n, char16_t& out) {
    iconv(dec, nullptr, nullptr, nullptr, nullptr);
    iconv(enc, nullptr, nullptr, nullptr, nullptr);
    char inBuf[2] = {static_cast<char>(in[0]), n > 1 ? static_cast<char>(in[1]) : '\0'};
    char utf16[8];
    char* ip = inBuf;
    char* op = utf16;
    std::size_t il = n, ol = sizeof utf16;
    if (iconv(dec, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0 || op - utf16 != 2) return false;
    char back[8];
    ip = utf16;
    il = 2;
    op = back;
    ol = sizeof back;
    if (iconv(enc, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0 ||
        static_cast<std::size_t>(op - back) != n)
        return false;
    for (std::size_t k = 0; k < n; ++k)
        if (static_cast<unsigned char>(back[k]) != in[k]) return false;
    out = static_cast<char16_t>(static_cast<unsigned char>(utf16[0]) | static_cast<unsigned char>(utf16[1]) << 8);
    return out != 0xFFFF;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: kuv-cp932-table OUTPUT.inc\n", stderr);
        return 2;
    }
    iconv_t dec = iconv_open("UTF-16LE", "CP932");
    iconv_t enc = iconv_open("CP932", "UTF-16LE");
    if (dec == reinterpret_cast<iconv_t>(-1) || enc == reinterpret_cast<iconv_t>(-1)) {
        std::fputs("kuv-cp932-table: the C library has no CP932 converter\n", stderr);
        return 1;
    }
    std::string out = "// Made by kuv-cp932-table while building; not to be edited.\n"
                      "// {bytes, character}: one byte below 0x100, else lead << 8 | trail.\n";
    for (int b = 0; b < 256; ++b) {
        if (kuv::IsLeadByte(static_cast<unsigned char>(b))) continue;
        const unsigned char in[1] = {static_cast<unsigned char>(b)};
        char16_t c;
        if (RoundTrips(dec, enc, in, 1, c)) out += "{" + std::to_string(b) + "," + std::to_string(c) + "},\n";
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!kuv::IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            char16_t c;
            if (RoundTrips(dec, enc, in, 2, c))
                out += "{" + std::to_string(lead << 8 | trail) + "," + std::to_string(c) + "},\n";
        }
    }
    iconv_close(dec);
    iconv_close(enc);
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << out;
    file.close();
    return file ? 0 : 1;
}
