#include "Files.h"

#include "language/ListingText.h"

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

QString ErrorBoxText(const QString& message) {
    // Compared as the CP932 bytes would be: every character above U+007F
    // encodes with a first byte above '.', as does every ASCII letter or digit.
    if (!message.isEmpty() && message.back() > QChar(u'.')) return message + QLatin1Char('.');
    return message;
}

QString ReadWholeFile(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return CannotOpenMessage(path);
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return CannotOpenMessage(path);
    return {};
}

QString ReadListingFile(const QString& path, std::string& text) {
    QByteArray bytes;
    const QString failure = ReadWholeFile(path, bytes);
    if (failure.isEmpty()) text = NormaliseLoadedText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return failure;
}

QString WriteWholeFile(const QString& path, std::string_view bytes) {
    const QFileInfo info(path);
    // A file without write permission counts as read-only even for root,
    // who could otherwise replace it.
    // (The "user" bits say what this process may do, so they are left out.)
    constexpr QFile::Permissions kAnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.isDir() || (info.exists() && (!info.isWritable() || !(info.permissions() & kAnyWrite))))
        return CannotCreateMessage(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return CannotCreateMessage(path);
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting();
        return WriteErrorMessage();
    }
    if (!file.commit()) return WriteErrorMessage();
    return {};
}

}  // namespace kuv
