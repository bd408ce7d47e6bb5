#include "Check.h"

#include "Render.h"
#include "RenderArgs.h"
#include "Report.h"

#include "language/Cp932.h"
#include "language/Listing.h"
#include "language/Runner.h"
#include "picture/Picture.h"
#include "shell/Files.h"
#include "shell/Paths.h"

#include <limits>
#include <new>
#include <ostream>

namespace kuv {
namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

std::string ProblemsText(const std::string& name, const std::vector<Problem>& problems) {
    std::string out;
    for (const Problem& p : problems) {
        out += name + ':' + std::to_string(p.line) + ": " + (p.error ? "エラー: " : "注意: ") + Utf16ToUtf8(p.message) + '\n';
        if (!p.explanation.empty()) out += "  " + Utf16ToUtf8(p.explanation) + '\n';
        if (p.fix) out += "  修正: " + Cp932ToUtf8(*p.fix) + '\n';
    }
    return out;
}

std::string ProblemsJson(const std::vector<Problem>& problems) {
    QString json = QStringLiteral("[");
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const Problem& p = problems[i];
        json += QStringLiteral("%1\n  {\"line\": %2, \"run_line\": %3, \"severity\": \"%4\", \"message\": %5, "
                               "\"explanation\": %6, \"fix\": %7}")
                    .arg(i ? "," : "")
                    .arg(p.line)
                    .arg(p.runLine ? QString::number(p.runLine) : QStringLiteral("null"))
                    .arg(p.error ? "error" : "warning")
                    .arg(JsonString(Q(p.message)), JsonString(Q(p.explanation)),
                         p.fix ? JsonString(QString::fromStdString(Cp932ToUtf8(*p.fix))) : QStringLiteral("null"));
    }
    json += problems.empty() ? QStringLiteral("]\n") : QStringLiteral("\n]\n");
    return json.toStdString();
}

int CheckMain(const RenderArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const std::string& name = args.listings.front();
    try {
        std::optional<std::string> text = ReadListingArgument(name, in, err);
        if (!text) return 2;
        const Listing listing(*text);
        // A run of its own, for the fills that start on their border.
        Listing run(std::move(*text));
        Picture picture;
        const RunResult result = RunProgram(run, picture);
        const RunFindings findings{result.paintsOnBorder, std::move(run)};
        const std::vector<Problem> problems = ListProblems(listing, &findings);
        out << (args.json ? ProblemsJson(problems) : ProblemsText(name, problems));
        for (const Problem& p : problems)
            if (p.error) return 1;
        return 0;
    } catch (const std::bad_alloc&) {
        err << ErrorBoxText(OutOfMemoryMessage()).toStdString() << "\n";
        return 2;
    }
}

}  // namespace kuv
