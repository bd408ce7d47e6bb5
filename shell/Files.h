// Reading and writing whole files. A failure comes back as the message that
// the error box shows, never as an exception.
#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

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

// What a file operation does with a FIFO or a device, which may block.
enum class SpecialFiles {
    // The desktop program and the batch, which must never hang: a listing
    // is read only from a regular file, and a FIFO or device is written
    // only when it opens at once (a FIFO with a reader) and takes the bytes
    // without stalling for long.
    NeverBlock,
    // kuv-render on one listing, as cat would: it waits for a FIFO's writer
    // or reader, and reads a device.
    Wait,
};

// Reads a listing file as the editor takes it: line breaks made CR LF,
// the text cut at the first zero byte. Reading stops at that byte, so an
// endless source such as /dev/zero ends at once. A text longer than
// maxBytes fails with EditorLimitMessage. Returns an empty string on
// success, else the message.
QString ReadListingFile(const QString& path, std::string& text,
                        std::size_t maxBytes = std::numeric_limits<std::size_t>::max(),
                        SpecialFiles special = SpecialFiles::NeverBlock);
// The same from a stream (kuv-render's standard input).
QString ReadListingStream(std::istream& in, std::string& text);

// One file being written, step by step; each step says whether it worked.
// After a failed step the writer cancels the target, which must then leave
// an existing file exactly as it was and no temporary file behind.
class FileTarget {
public:
    virtual ~FileTarget() = default;
    virtual bool Open() = 0;
    virtual bool Write(const char* data, std::size_t size) = 0;
    // Everything written has reached the file system, which has taken it.
    virtual bool Flush() = 0;
    // The file now holds the bytes written, and nothing else.
    virtual bool Commit() = 0;
    virtual void Cancel() = 0;
};

// The target for a path on the file system: a regular file (or a new one)
// is replaced through a temporary file in its folder that takes its place
// only once every byte is in; anything else that exists there, a device or
// a FIFO, is written in place, never renamed over.
std::unique_ptr<FileTarget> FileSystemTarget(const QString& path, SpecialFiles special = SpecialFiles::NeverBlock);

// Where FileWriter gets its targets; the file system unless a test puts a
// device of its own in its place. An empty function restores the default.
using FileTargetFactory = std::function<std::unique_ptr<FileTarget>(const QString& path)>;
void SetFileTargetFactory(FileTargetFactory factory);

// Writes one file in two steps, so that a file that cannot be created fails
// before any content is made: Create, then Commit the bytes. Either every
// byte lands, or the write is cancelled and an existing file stays exactly
// as it was. An existing file that is not writable is not replaced.
class FileWriter {
public:
    explicit FileWriter(const QString& path, SpecialFiles special = SpecialFiles::NeverBlock);
    ~FileWriter();
    // Returns an empty string on success, else the message.
    QString Create();
    QString Commit(const void* data, std::size_t size);

private:
    QString path_;
    SpecialFiles special_;
    std::unique_ptr<FileTarget> target_;
};

// Create and Commit in one; returns an empty string on success, else the
// message.
QString WriteWholeFile(const QString& path, std::string_view bytes, SpecialFiles special = SpecialFiles::NeverBlock);

// Writes the bytes to a stream (kuv-render's standard output) and checks
// that it took them.
QString WriteToStream(std::ostream& out, std::string_view bytes);

}  // namespace kuv
