// The texts of failures that a command shows in its error box, the same in
// every front-end (UTF-16). A listing's own errors are not among them: they
// are ErrorLog lines (Statements.h).
#pragma once

#include <string>
#include <string_view>

namespace kuv {

enum class Failure {
    CannotOpen,    // ファイル %s は開けません
    CannotCreate,  // ファイル %s を作成できません
    WriteError,    // ストリームへの書き込みエラー
    EditorLimit,   // 文字列の大きさが メモ の制限を越えました
    JpegError,     // JPEG エラー #%d
    OutOfMemory,   // メモリストリームの拡大中にメモリが足りなくなりました
};

// The message of a failure; name is the file's name as shown to the user
// (CannotOpen, CannotCreate), code libjpeg's message number (JpegError).
std::u16string FailureMessage(Failure failure, std::u16string_view name = {}, int code = 0);

// The error box's text: a "." is added when the message's last character
// sorts after ".".
std::u16string ErrorBoxText(std::u16string_view message);

// Saving a file under a chosen name: the suffix (".kuv", ".bmp", ".jpg") is
// added unless the name ends in it exactly, byte for byte, so "pic.JPG"
// becomes "pic.JPG.jpg". The BMP export's name loses every "*" first.
std::u16string CompletedFileName(std::u16string_view chosen, std::u16string_view suffix);

// A path's file name without its folder and its last extension: "\\", ":"
// and "/" separate folders. The name the exports propose.
std::u16string BaseName(std::u16string_view path);

}  // namespace kuv
