#include "Recovery.h"

#include "Files.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kuv {
namespace {

const QString kPattern = QStringLiteral("*.kuv");

// Writes the bytes to a new temporary file in the folder and makes it
// durable; returns its path, or an empty string.
QString WriteTemporary(const QString& folder, std::string_view bytes) {
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/.recovering-XXXXXX"));
    QByteArray name = path;
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return {};
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) p += n, left -= static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(name.constData());
        return {};
    }
    return QFile::decodeName(name);
}

// Removes all but the newest recovered listings: their names sort as their
// times do.
void Prune(const QString& folder) {
    QDir dir(folder);
    const QStringList names = dir.entryList({kPattern}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + kRecoveredKept < names.size(); ++i) dir.remove(names[i]);
}

}  // namespace

QString RecoveryFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative XDG_STATE_HOME is ignored, as desktops ignore it.
    if (state.isEmpty() || QDir::isRelativePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/kuv/recovered");
}

QString RecoverListing(std::string_view bytes, const QDateTime& when, const QString& folder, QString& failure) {
    if (!QDir().mkpath(folder)) {
        failure = CannotCreateMessage(folder);
        return {};
    }
    const QString temporary = WriteTemporary(folder, bytes);
    if (temporary.isEmpty()) {
        failure = WriteErrorMessage();
        return {};
    }
    // A hard link gives the file its name only when no file has it yet, so
    // an earlier recovered listing is never replaced.
    const QString stamp = when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString written;
    for (int n = 1; n < 100 && written.isEmpty(); ++n) {
        const QString name = folder + "/" + stamp + (n == 1 ? QString() : QStringLiteral("_%1").arg(n, 2, 10, QLatin1Char('0'))) +
                             QStringLiteral(".kuv");
        if (::link(QFile::encodeName(temporary).constData(), QFile::encodeName(name).constData()) == 0)
            written = name;
        else if (errno != EEXIST)
            break;
    }
    ::unlink(QFile::encodeName(temporary).constData());
    if (written.isEmpty()) {
        failure = CannotCreateMessage(folder + "/" + stamp + QStringLiteral(".kuv"));
        return {};
    }
    Prune(folder);
    return written;
}

bool HasRecoveredListings(const QString& folder) {
    return !QDir(folder).entryList({kPattern}, QDir::Files).isEmpty();
}

}  // namespace kuv
