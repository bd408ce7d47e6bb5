#include "CommandLine.h"

#include "language/Link.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace kuv {

ProgramArgs ParseProgramArgs(const QStringList& args) {
    ProgramArgs p;
    bool optionsEnd = false;
    for (const QString& a : args) {
        if (!optionsEnd && a == QLatin1String("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            return {ProgramArgs::Action::Help, {}, {}};
        } else if (!optionsEnd && a == QLatin1String("--version")) {
            return {ProgramArgs::Action::Version, {}, {}};
        } else if (!optionsEnd && a.size() > 1 && a.startsWith(QLatin1Char('-'))) {
            return {ProgramArgs::Action::Usage, {}, QStringLiteral("unknown option ") + a};
        } else if (!p.file.isEmpty() || !p.link.isEmpty()) {
            return {ProgramArgs::Action::Usage, {}, QStringLiteral("only one listing may be given")};
        } else if (IsListingLink(a.toStdString())) {
            p.link = a;
        } else {
            p.file = a;
        }
    }
    return p;
}

QString ProgramUsageText() { return QStringLiteral("usage: kuv [LISTING.kuv | LINK]\n"); }

QString ProgramHelpText() {
    return ProgramUsageText() + QStringLiteral(
        "KUV: write and run drawings in the KUV language.\n"
        "\n"
        "  LISTING.kuv   open this listing at start-up, as the Open command does\n"
        "  LINK          open the listing of a link that KUV's page made (its\n"
        "                リンクをコピー, or kuv-render --link): https://…#k=…\n"
        "                It opens as a new listing, noname.kuv, not yet saved\n"
        "  --help        show this help\n"
        "  --version     show the version\n"
        "\n"
        "A changed listing that is not saved when the program ends is kept in\n"
        "$XDG_STATE_HOME/kuv/recovered (~/.local/state/kuv/recovered).\n");
}

QString ProgramVersionText() { return QStringLiteral("kuv " KUV_VERSION "\n"); }

QString DroppedListing(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).suffix().compare(QLatin1String("kuv"), Qt::CaseInsensitive) == 0) return path;
    }
    return {};
}

}  // namespace kuv
