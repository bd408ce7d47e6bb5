// The bytes of a listing file as they enter the editor.
#pragma once

#include <string>
#include <string_view>

namespace kuv {

// The text ends before the first zero byte; CR LF stays, a lone CR and a
// lone LF become CR LF. The scan goes by characters, so the byte after a
// lead byte is never taken for a line break.
std::string NormaliseLoadedText(std::string_view fileBytes);

}  // namespace kuv
