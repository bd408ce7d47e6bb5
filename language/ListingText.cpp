#include "ListingText.h"

#include "Cp932.h"

namespace kuv {

std::string NormaliseLoadedText(std::string_view bytes) {
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = CharLengthAt(bytes, i);
        const char b = bytes[i];
        if (n == 2) {
            out.append(bytes.data() + i, 2);
        } else if (b == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (b == '\n') {
            out += "\r\n";
        } else {
            out += b;
        }
        i += n;
    }
    return out;
}

}  // namespace kuv
