#include "Files.h"

#include "language/ListingText.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <istream>
#include <ostream>

namespace kuv {

QString CannotOpenMessage(const QString& path) {
    return QStringLiteral("ファイル %1 は開けません").arg(path);
}

QString CannotCreateMessage(const QString& path) {
    return QStringLiteral("ファイル %1 を作成できません").arg(path);
}

QString WriteErrorMessage() { return QStringLiteral("ストリームへの書き込みエラー"); }

QString EditorLimitMessage() { return QStringLiteral("文字列の大きさが メモ の制限を越えました"); }

QString JpegErrorMessage(int code) { return QStringLiteral("JPEG エラー #%1").arg(code); }

QString OutOfMemoryMessage() { return QStringLiteral("メモリストリームの拡大中にメモリが足りなくなりました"); }

QString ErrorBoxText(const QString& message) {
    // Compared as the CP932 bytes would be: every character above U+007F
    // encodes with a first byte above '.', as does every ASCII letter or digit.
    if (!message.isEmpty() && message.back() > QChar(u'.')) return message + QLatin1Char('.');
    return message;
}

namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 16;

// Replaces a regular file (or makes a new one) through a temporary file.
class ReplacingTarget : public FileTarget {
public:
    explicit ReplacingTarget(const QString& path) : file_(path) {}
    bool Open() override { return file_.open(QIODevice::WriteOnly); }
    bool Write(const char* data, std::size_t size) override {
        return file_.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    }
    // QSaveFile keeps small writes in its buffer, and Qt 6.4's commit()
    // renames the file even when the flush inside it failed on a full disk:
    // the flush is checked here, and the file system is asked to hold the
    // bytes before the temporary file takes the old one's place.
    bool Flush() override {
        return file_.flush() && file_.error() == QFileDevice::NoError && ::fsync(file_.handle()) == 0;
    }
    bool Commit() override { return file_.commit(); }
    // The temporary file goes with the QSaveFile.
    void Cancel() override { file_.cancelWriting(); }

private:
    QSaveFile file_;
};

// Writes into something that is not a regular file, such as a device or a
// FIFO, which must stay what it is.
class InPlaceTarget : public FileTarget {
public:
    explicit InPlaceTarget(const QString& path) : file_(path) {}
    bool Open() override { return file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool Write(const char* data, std::size_t size) override {
        return file_.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    }
    bool Flush() override { return file_.flush() && file_.error() == QFileDevice::NoError; }
    bool Commit() override {
        file_.close();
        return file_.error() == QFileDevice::NoError;
    }
    void Cancel() override { file_.close(); }

private:
    QFile file_;
};

FileTargetFactory& TargetFactory() {
    static FileTargetFactory factory;
    return factory;
}

}  // namespace

QString ReadListingFile(const QString& path, std::string& text, std::size_t maxBytes) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return CannotOpenMessage(path);
    LoadedTextBuilder builder;
    if (!file.isSequential()) builder.ReserveFor(std::min(static_cast<std::size_t>(file.size()), maxBytes));
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        const qint64 n = file.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (n < 0) return CannotOpenMessage(path);
        if (n == 0 || !builder.Append(std::string_view(chunk.data(), static_cast<std::size_t>(n)))) break;
        if (builder.Size() > maxBytes) return EditorLimitMessage();
    }
    std::string loaded = builder.Finish();
    if (loaded.size() > maxBytes) return EditorLimitMessage();
    text = std::move(loaded);
    return {};
}

QString ReadListingStream(std::istream& in, std::string& text) {
    LoadedTextBuilder builder;
    std::string chunk(kReadChunk, '\0');
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const std::size_t n = static_cast<std::size_t>(in.gcount());
        if (n == 0 || !builder.Append(std::string_view(chunk.data(), n))) break;
    }
    if (in.bad()) return CannotOpenMessage(QStringLiteral("-"));
    text = builder.Finish();
    return {};
}

std::unique_ptr<FileTarget> FileSystemTarget(const QString& path) {
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return std::make_unique<InPlaceTarget>(path);
    return std::make_unique<ReplacingTarget>(path);
}

void SetFileTargetFactory(FileTargetFactory factory) { TargetFactory() = std::move(factory); }

FileWriter::FileWriter(const QString& path) : path_(path) {}

FileWriter::~FileWriter() {
    if (target_) target_->Cancel();
}

QString FileWriter::Create() {
    const QFileInfo info(path_);
    // A file without write permission counts as read-only even for root,
    // who could otherwise replace it. (The "user" bits say what this
    // process may do, so they are left out.)
    constexpr QFile::Permissions kAnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.isDir() || (info.exists() && (!info.isWritable() || !(info.permissions() & kAnyWrite))))
        return CannotCreateMessage(path_);
    target_ = TargetFactory() ? TargetFactory()(path_) : FileSystemTarget(path_);
    if (!target_->Open()) {
        target_->Cancel();
        target_.reset();
        return CannotCreateMessage(path_);
    }
    return {};
}

QString FileWriter::Commit(const void* data, std::size_t size) {
    const bool written = target_->Write(static_cast<const char*>(data), size) && target_->Flush() && target_->Commit();
    if (!written) target_->Cancel();
    target_.reset();
    return written ? QString() : WriteErrorMessage();
}

QString WriteWholeFile(const QString& path, std::string_view bytes) {
    FileWriter writer(path);
    QString failure = writer.Create();
    if (failure.isEmpty()) failure = writer.Commit(bytes.data(), bytes.size());
    return failure;
}

QString WriteToStream(std::ostream& out, std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return out ? QString() : WriteErrorMessage();
}

}  // namespace kuv
