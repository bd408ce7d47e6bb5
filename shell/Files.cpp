#include "Files.h"

#include "language/ListingText.h"

#include <QByteArray>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// Reads the whole file; returns an empty string on success, else the message.
QString ReadWholeFile(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return CannotOpenMessage(path);
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return CannotOpenMessage(path);
    return {};
}

}  // namespace

QString ReadListingFile(const QString& path, std::string& text) {
    QByteArray bytes;
    const QString failure = ReadWholeFile(path, bytes);
    if (failure.isEmpty()) text = NormaliseLoadedText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return failure;
}

FileWriter::FileWriter(const QString& path) : path_(path) {}

FileWriter::~FileWriter() {
    if (file_ && file_->isOpen()) file_->cancelWriting();
}

QString FileWriter::Create() {
    const QFileInfo info(path_);
    // A file without write permission counts as read-only even for root,
    // who could otherwise replace it. (The "user" bits say what this
    // process may do, so they are left out.)
    constexpr QFile::Permissions kAnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.isDir() || (info.exists() && (!info.isWritable() || !(info.permissions() & kAnyWrite))))
        return CannotCreateMessage(path_);
    file_ = std::make_unique<QSaveFile>(path_);
    if (!file_->open(QIODevice::WriteOnly)) return CannotCreateMessage(path_);
    return {};
}

QString FileWriter::Commit(const void* data, std::size_t size) {
    const qint64 n = static_cast<qint64>(size);
    if (file_->write(static_cast<const char*>(data), n) != n) {
        file_->cancelWriting();
        return WriteErrorMessage();
    }
    if (!file_->commit()) return WriteErrorMessage();
    return {};
}

QString WriteWholeFile(const QString& path, std::string_view bytes) {
    FileWriter writer(path);
    QString failure = writer.Create();
    if (failure.isEmpty()) failure = writer.Commit(bytes.data(), bytes.size());
    return failure;
}

}  // namespace kuv
