#include "Messages.h"

#include <algorithm>

namespace kuv {

std::u16string FailureMessage(Failure failure, std::u16string_view name, int code) {
    switch (failure) {
        case Failure::CannotOpen: return u"ファイル " + std::u16string(name) + u" は開けません";
        case Failure::CannotCreate: return u"ファイル " + std::u16string(name) + u" を作成できません";
        case Failure::WriteError: return u"ストリームへの書き込みエラー";
        case Failure::EditorLimit: return u"文字列の大きさが メモ の制限を越えました";
        case Failure::JpegError: {
            const std::string digits = std::to_string(code);
            return u"JPEG エラー #" + std::u16string(digits.begin(), digits.end());
        }
        case Failure::OutOfMemory: break;
    }
    return u"メモリストリームの拡大中にメモリが足りなくなりました";
}

std::u16string ErrorBoxText(std::u16string_view message) {
    // Compared as the CP932 bytes would be: every character above U+007F
    // encodes with a first byte above '.', as does every ASCII letter or digit.
    std::u16string text(message);
    if (!text.empty() && text.back() > u'.') text += u'.';
    return text;
}

std::u16string CompletedFileName(std::u16string_view chosen, std::u16string_view suffix) {
    std::u16string name(chosen);
    if (suffix == u".bmp") name.erase(std::remove(name.begin(), name.end(), u'*'), name.end());
    const bool ends = name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    return ends ? name : name + std::u16string(suffix);
}

std::u16string BaseName(std::u16string_view path) {
    // By characters, so the second byte of a double-byte character is never
    // taken for a backslash.
    const std::size_t slash = path.find_last_of(u"\\:/");
    std::u16string name(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
    const std::size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos) name.erase(dot);
    return name;
}

}  // namespace kuv
