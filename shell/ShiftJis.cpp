#include "ShiftJis.h"

#include "language/Cp932.h"

namespace kuv {

QString EditorTextFromListing(std::string_view bytes) { return QString::fromStdU16String(DecodeCp932Lines(bytes)); }

std::string ListingFromEditorText(const QString& text) {
    return EncodeCp932Lines(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                static_cast<std::size_t>(text.size())));
}

QString FromCp932(std::string_view bytes) {
    const std::u16string u = DecodeCp932(bytes);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

}  // namespace kuv
