#include "Describe.h"

#include "Render.h"
#include "RenderArgs.h"
#include "Report.h"

#include "language/Cp932.h"
#include "language/Listing.h"
#include "language/Runner.h"
#include "shell/Files.h"
#include "shell/Paths.h"

#include <QStringList>

#include <limits>
#include <new>
#include <ostream>

namespace kuv {
namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }
QString Null() { return QStringLiteral("null"); }

QString Numbers(std::initializer_list<int> ns) {
    QStringList out;
    for (const int n : ns) out << QString::number(n);
    return '[' + out.join(QStringLiteral(", ")) + ']';
}

QString ItemJson(const DescribedItem& i) {
    QStringList params;
    for (const std::int32_t p : i.params) params << QString::number(p);
    const bool paint24 = i.kind == skPaint24;
    const int colour = i.kind == skLine || i.kind == skBox ? i.params[4]
                       : i.kind == skCircle                ? i.params[3]
                       : i.kind == skArc                   ? i.params[5]
                                                           : i.params[2];  // PAINT's fill, TEXT's colour
    return QStringLiteral("{\"line\": %1, \"statement\": \"%2\", \"colour\": %3, \"params\": [%4], \"text\": %5, \"pixels\": %6, "
                          "\"bbox\": %7, \"place\": %8, \"hidden_by\": %9, \"inside\": %10, \"percent\": %11, \"words\": %12}")
        .arg(i.line)
        .arg(QString::fromLatin1(FormOf(i.kind)->word.data(), static_cast<qsizetype>(FormOf(i.kind)->word.size())))
        .arg(paint24 ? Numbers({i.params[2], i.params[3], i.params[4]}) : QString::number(colour))
        .arg(params.join(QStringLiteral(", ")))
        .arg(i.kind == skText ? JsonString(QString::fromStdString(Cp932ToUtf8(i.text))) : Null())
        .arg(i.pixels)
        .arg(i.bbox ? Numbers({(*i.bbox)[0], (*i.bbox)[1], (*i.bbox)[2], (*i.bbox)[3]}) : Null())
        .arg(i.place ? JsonString(Q(PlaceWord(*i.place))) : Null())
        .arg(i.hiddenBy ? QString::number(i.hiddenBy) : Null())
        .arg(i.inside ? QString::number(i.inside) : Null())
        .arg(i.percent >= 0 ? QString::number(i.percent, 'f', 1) : Null())
        .arg(JsonString(Q(i.words)));
}

}  // namespace

std::string DescriptionText(const Description& d) {
    std::string out = Utf16ToUtf8(d.summary) + '\n';
    for (const DescribedItem& i : d.items) out += Utf16ToUtf8(i.words) + '\n';
    return out;
}

std::string DescriptionJson(const Description& d) {
    QString json = QStringLiteral("{\"summary\": %1, \"items\": [").arg(JsonString(Q(d.summary)));
    for (std::size_t i = 0; i < d.items.size(); ++i) json += (i ? QStringLiteral(",\n  ") : QStringLiteral("\n  ")) + ItemJson(d.items[i]);
    json += d.items.empty() ? QStringLiteral("]}\n") : QStringLiteral("\n]}\n");
    return json.toStdString();
}

int DescribeMain(const RenderArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const std::string& name = args.listings.front();
    try {
        std::optional<std::string> text = ReadListingArgument(name, in, err);
        if (!text) return 2;
        Listing listing(std::move(*text));
        Picture picture;
        picture.RecordOwners();
        const RunResult result = RunProgram(listing, picture);
        const Description d = DescribeRun(listing, result.statementsRun, picture);
        out << (args.json ? DescriptionJson(d) : DescriptionText(d));
        if (!result.error) return 0;
        err << Cp932ToUtf8(result.errorLine) << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        err << ErrorBoxText(OutOfMemoryMessage()).toStdString() << "\n";
        return 2;
    }
}

}  // namespace kuv
