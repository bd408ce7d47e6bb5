#include "ShiftJis.h"

#include "language/Cp932.h"

namespace kuv {

QString EditorTextFromListing(std::string_view bytes) {
    // After loading, every CR belongs to a CR LF (a CR after a lead byte
    // decodes as a private-use character), so dropping the CRs of CR LF
    // pairs is all that is needed.
    std::u16string u = DecodeCp932(bytes);
    std::u16string out;
    out.reserve(u.size());
    for (std::size_t i = 0; i < u.size(); ++i) {
        if (u[i] == u'\r' && i + 1 < u.size() && u[i + 1] == u'\n') continue;
        out.push_back(u[i]);
    }
    return QString::fromUtf16(out.data(), static_cast<qsizetype>(out.size()));
}

std::string ListingFromEditorText(const QString& text) {
    return EncodeCp932Lines(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                static_cast<std::size_t>(text.size())));
}

QString FromCp932(std::string_view bytes) {
    const std::u16string u = DecodeCp932(bytes);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

}  // namespace kuv
