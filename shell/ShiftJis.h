// The editor holds Unicode text with '\n' between lines; listings and files
// are CP932 bytes with CR LF. These are the only crossings between the two.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kuv {

// CP932 bytes (lines separated by CR LF) to the editor's text.
QString EditorTextFromListing(std::string_view bytes);
// The editor's text to CP932 bytes with CR LF between lines.
std::string ListingFromEditorText(const QString& text);
// CP932 bytes of a message to show.
QString FromCp932(std::string_view bytes);

}  // namespace kuv
