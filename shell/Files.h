// Reading and writing whole files. A failure comes back as the message that
// the error box shows, never as an exception.
#pragma once

#include <QString>

#include <memory>
#include <string_view>

class QSaveFile;

namespace kuv {

// Message texts of failed file operations.
QString CannotOpenMessage(const QString& path);    // ファイル %s は開けません
QString CannotCreateMessage(const QString& path);  // ファイル %s を作成できません
QString WriteErrorMessage();                       // ストリームへの書き込みエラー
QString EditorLimitMessage();                      // 文字列の大きさが メモ の制限を越えました
QString JpegErrorMessage(int code);                // JPEG エラー #%d
QString OutOfMemoryMessage();                      // メモリストリームの拡大中にメモリが足りなくなりました

// The error box text: a "." is added when the message's last character
// sorts after ".".
QString ErrorBoxText(const QString& message);

// Reads a listing file as the editor takes it: line breaks made CR LF,
// the text cut at the first zero byte. Returns an empty string on success.
QString ReadListingFile(const QString& path, std::string& text);

// Writes one file in two steps, so that a file that cannot be created fails
// before any content is made: Create, then Commit the bytes. The bytes go to
// a temporary file that takes the file's place only once all of them are
// written, so a failure leaves an existing file exactly as it was. An
// existing file that is not writable is not replaced.
class FileWriter {
public:
    explicit FileWriter(const QString& path);
    ~FileWriter();
    // Returns an empty string on success, else the message.
    QString Create();
    QString Commit(const void* data, std::size_t size);

private:
    QString path_;
    std::unique_ptr<QSaveFile> file_;
};

// Replaces the file with the bytes, or leaves an existing file exactly as it
// was: the bytes go to a temporary file that takes the file's place only
// once all of them are written. An existing file that is not writable is not
// replaced. Returns an empty string on success, else the message.
QString WriteWholeFile(const QString& path, std::string_view bytes);

}  // namespace kuv
