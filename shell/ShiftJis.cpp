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
    std::u16string u;
    u.reserve(static_cast<std::size_t>(text.size()) + static_cast<std::size_t>(text.size()) / 16);
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) u.push_back(u'\r');
        u.push_back(c.unicode());
    }
    return EncodeCp932(u);
}

QString FromCp932(std::string_view bytes) {
    const std::u16string u = DecodeCp932(bytes);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

}  // namespace kuv
