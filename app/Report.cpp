#include "Report.h"

#include "language/Cp932.h"
#include "shell/Paths.h"

#include <QByteArray>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace kuv {
namespace {

constexpr int kShownLines = 200;
constexpr int kShownAround = 10;

QString Escape(QString text) {
    return text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
}

QString CsvField(QString text) {
    // A cell that a spreadsheet would take for a formula (a listing named
    // "=HYPERLINK(...).kuv") is made plain text by a leading apostrophe.
    if (!text.isEmpty() && QStringLiteral("=+-@").contains(text.front())) text.prepend(QLatin1Char('\''));
    if (!text.contains(QRegularExpression(QStringLiteral("[\",\r\n]")))) return text;
    return '"' + text.replace('"', "\"\"") + '"';
}

}  // namespace

QString JsonString(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c.unicode() < 0x20)
                    out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                else
                    out += c;
        }
    }
    return out + '"';
}

// The comparison's columns: differing, match, passed, first_line,
// answer_line; nulls (as given) without an answer.
QStringList ComparisonFields(const BatchRow& r, const QString& none) {
    if (!r.comparison) return {none, none, none, none, none};
    const Comparison& c = *r.comparison;
    const auto line = [&](int n) { return n ? QString::number(n) : none; };
    return {QString::number(c.differing), QString::number(MatchPercent(c.differing), 'f', 1),
            r.passed ? QStringLiteral("true") : QStringLiteral("false"), line(c.firstLine), line(c.answerLine)};
}

QString StatusText(const BatchRow& r) {
    if (r.exitStatus == 0) return QStringLiteral("正常");
    if (r.exitStatus == 1) return QStringLiteral("%1行：%2").arg(r.errorLine, 3).arg(r.message);
    return (r.read ? QStringLiteral("書けません：") : QStringLiteral("読めません：")) + r.message;
}

namespace {

const char* StatusClass(const BatchRow& r) {
    return r.exitStatus == 0 ? "clean" : r.exitStatus == 1 ? "error" : r.read ? "failed" : "unreadable";
}

}  // namespace

QString ShownListing(const Listing& rewritten, int errorLine) {
    // Only the lines shown are decoded: a listing may be huge.
    const auto show = [&](int from, int to, QString& out) {  // 1-based, inclusive
        for (int n = from; n <= to; ++n) {
            const QString text = Escape(QString::fromStdString(Cp932ToUtf8(rewritten.Get(n - 1))));
            // The mark is a block of its own: a line break after it would
            // show as an empty row.
            out += n == errorLine ? QStringLiteral("<mark>%1  %2</mark>").arg(n, 4).arg(text)
                                  : QStringLiteral("%1  %2\n").arg(n, 4).arg(text);
        }
    };
    QString out;
    const int count = rewritten.Count();
    if (count <= kShownLines) {
        show(1, count, out);
    } else {
        show(1, kShownLines / 4, out);
        out += QStringLiteral("   …\n");
        if (errorLine > kShownLines / 4) {
            show(std::max(kShownLines / 4 + 1, errorLine - kShownAround), std::min(count, errorLine + kShownAround), out);
            if (errorLine + kShownAround < count) out += QStringLiteral("   …\n");
        }
    }
    return out;
}

int BatchExitStatus(const std::vector<BatchRow>& rows) {
    int status = 0;
    for (const BatchRow& r : rows) status = std::max(status, r.exitStatus == 0 && r.comparison && !r.passed ? 1 : r.exitStatus);
    return status;
}

std::string ReportCsv(const std::vector<BatchRow>& rows) {
    // UTF-8 with a byte-order mark, so that spreadsheet programs read the
    // Japanese messages as UTF-8.
    QString csv = QStringLiteral(
        "\uFEFFinput,picture,listing,exit_status,error_line,message,statements,ms,explanation,differing,match,passed,first_line,"
        "answer_line\r\n");
    for (const BatchRow& r : rows)
        csv += QStringList{CsvField(PathForDisplay(r.input)), CsvField(PathForDisplay(r.picture)),
                           CsvField(PathForDisplay(r.listing)), QString::number(r.exitStatus),
                           QString::number(r.errorLine), CsvField(r.message), QString::number(r.statements),
                           QString::number(r.ms, 'f', 1), CsvField(r.explanation)}
                       .join(',') +
               ',' + ComparisonFields(r, QString()).join(',') +
               QStringLiteral("\r\n");
    return csv.toStdString();
}

std::string ReportJson(const std::vector<BatchRow>& rows, const QString& date) {
    QString json = QStringLiteral("{\n  \"version\": \"" KUV_VERSION "\",\n  \"date\": %1,\n  \"rows\": [").arg(JsonString(date));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const BatchRow& r = rows[i];
        const QStringList compared = ComparisonFields(r, QStringLiteral("null"));
        json += QStringLiteral("%1\n    {\"input\": %2, \"picture\": %3, \"listing\": %4, \"exit_status\": %5, "
                               "\"error_line\": %6, \"message\": %7, \"statements\": %8, \"ms\": %9, \"explanation\": %10, "
                               "\"summary\": %11, \"differing\": %12, \"match\": %13, \"passed\": %14, \"first_line\": %15, "
                               "\"answer_line\": %16}")
                    .arg(i ? "," : "", JsonString(PathForDisplay(r.input)), JsonString(PathForDisplay(r.picture)),
                         JsonString(PathForDisplay(r.listing)))
                    .arg(r.exitStatus)
                    .arg(r.errorLine)
                    .arg(JsonString(r.message))
                    .arg(r.statements)
                    .arg(r.ms, 0, 'f', 1)
                    .arg(JsonString(r.explanation), JsonString(r.summary))
                    .arg(compared[0], compared[1], compared[2], compared[3], compared[4]);
    }
    json += QStringLiteral("\n  ]\n}\n");
    return json.toStdString();
}

std::string ReportHtml(const std::vector<BatchRow>& rows, const QString& date) {
    int clean = 0, errors = 0, unreadable = 0;
    for (const BatchRow& r : rows) (r.exitStatus == 0 ? clean : r.exitStatus == 1 ? errors : unreadable)++;
    QString html = QStringLiteral(R"(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>ＫＵＶ 一覧</title>
<style>
body { font-family: "IPAPGothic", "MS PGothic", sans-serif; margin: 1em; color: #222; }
h1 { font-size: 1.4em; margin: 0 0 .3em; }
.meta { color: #666; margin: 0 0 .6em; }
.counts span { display: inline-block; margin-right: 1em; font-weight: bold; }
.grid { display: grid; grid-template-columns: repeat(auto-fill, minmax(min(100%, 360px), 1fr)); gap: 1em; margin-top: 1em;
        align-items: start; }
.item { border: 1px solid #bbb; border-radius: 6px; padding: .6em; background: #fff; min-width: 0; }
.item img { width: 100%; height: auto; border: 1px solid #ddd; image-rendering: pixelated; display: block; }
.item h2 { font-size: 1em; margin: .4em 0 .2em; word-break: break-all; }
.status { margin: 0 0 .4em; font-weight: bold; }
.explanation { margin: -.2em 0 .4em; color: #222; }
.path { margin: 0 0 .2em; color: #777; font-size: .75em; word-break: break-all; }
.clean .status { color: #070; }
.error .status, .unreadable .status, .failed .status { color: #c00; }
.error, .unreadable, .failed { border-color: #c00; }
pre { font-family: "IPAGothic", "MS Gothic", monospace; font-size: .8em; background: #ffffe1; padding: .4em;
      max-height: 16em; overflow: auto; margin: 0; }
mark { background: #fcc; display: block; }
body.only-errors .clean { display: none; }
.compared { margin: 0 0 .4em; font-weight: bold; }
.passed .compared { color: #070; }
.failed-answer .compared { color: #c00; }
.failed-answer { border-width: 3px; border-color: #c00; }
body.only-failing .passed { display: none; }
.differences { margin: 0 0 .4em; }
</style>
</head>
<body>
<h1>ＫＵＶ 一覧</h1>
)");
    html += QStringLiteral("<p class=\"meta\">作成 %1 ・ KUV " KUV_VERSION "</p>\n").arg(Escape(date));
    html += QStringLiteral("<p class=\"counts\"><span id=\"clean\">正常 %1</span><span id=\"errors\">エラー %2</span>"
                           "<span id=\"unreadable\">読めない・書けない %3</span></p>\n")
                .arg(clean)
                .arg(errors)
                .arg(unreadable);
    const bool answered = std::any_of(rows.begin(), rows.end(), [](const BatchRow& r) { return r.comparison.has_value(); });
    if (answered)
        html += QStringLiteral("<p class=\"counts\"><span id=\"passed\">合格 %1</span><span id=\"not-passed\">不合格 %2</span></p>\n")
                    .arg(std::count_if(rows.begin(), rows.end(), [](const BatchRow& r) { return r.passed; }))
                    .arg(std::count_if(rows.begin(), rows.end(), [](const BatchRow& r) { return !r.passed; }));
    html += QStringLiteral("<label><input type=\"checkbox\" id=\"only-errors\"> エラーだけ表示</label>\n");
    if (answered)
        html += QStringLiteral("<label><input type=\"checkbox\" id=\"only-failing\"> 合格しなかったものだけ表示</label>\n"
                               "<button id=\"by-match\">一致の低い順に並べる</button>\n");
    html += QStringLiteral("<div class=\"grid\">\n");
    for (const BatchRow& r : rows) {
        const QString verdict = !r.comparison ? QString() : r.passed ? QStringLiteral(" passed") : QStringLiteral(" failed-answer");
        html += QStringLiteral("<section class=\"item %1%2\" data-match=\"%3\">\n")
                    .arg(StatusClass(r), verdict)
                    .arg(r.comparison ? MatchPercent(r.comparison->differing) : 0.0, 0, 'f', 1);
        // The thumbnail links to the picture at full size.
        if (!r.picture.isEmpty()) {
            const QString src = Escape(QString::fromLatin1(QByteArray::fromStdString(NativePath(r.picture)).toPercentEncoding()));
            html += QStringLiteral("<a href=\"%1\" title=\"原寸で表示\"><img src=\"%1\" alt=\"%2\" width=\"641\" height=\"481\" "
                                   "loading=\"lazy\"></a>\n")
                        .arg(src, Escape(r.summary.isEmpty() ? PathForDisplay(r.input) : r.summary));
        }
        html += QStringLiteral("<h2>%1</h2>\n<p class=\"path\">%2</p>\n<p class=\"status\">%3</p>\n")
                    .arg(Escape(PathForDisplay(QFileInfo(r.input).fileName())), Escape(PathForDisplay(r.input)),
                         Escape(StatusText(r)));
        if (!r.explanation.isEmpty()) html += QStringLiteral("<p class=\"explanation\">%1</p>\n").arg(Escape(r.explanation));
        if (r.comparison) {
            // In words and colour: ○ or ×, the match, the first line that leaves the answer.
            const Comparison& c = *r.comparison;
            QString compared = QStringLiteral("%1 一致 %2%（違う点 %3）")
                                   .arg(r.passed ? QStringLiteral("○ 合格") : QStringLiteral("× 不合格"))
                                   .arg(MatchPercent(c.differing), 0, 'f', 1)
                                   .arg(c.differing);
            if (c.firstLine) compared += QStringLiteral("　%1行目から答えと違います").arg(c.firstLine);
            else if (c.answerLine) compared += QStringLiteral("　答えの %1行目がかかれていません").arg(c.answerLine);
            html += QStringLiteral("<p class=\"compared\">%1</p>\n").arg(Escape(compared));
            if (!r.difference.isEmpty())
                html += QStringLiteral("<p class=\"differences\"><a href=\"%1\">違いの絵</a>（青: 答えにだけある点、だいだい: "
                                       "答えにない点）</p>\n")
                            .arg(Escape(QString::fromLatin1(QByteArray::fromStdString(NativePath(r.difference)).toPercentEncoding())));
        }
        if (!r.shown.isEmpty()) html += QStringLiteral("<pre>%1</pre>\n").arg(r.shown);
        html += QStringLiteral("</section>\n");
    }
    html += QStringLiteral(R"(</div>
<script>
document.getElementById("only-errors").addEventListener("change", function (e) {
  document.body.classList.toggle("only-errors", e.target.checked);
});
var failing = document.getElementById("only-failing");
if (failing) failing.addEventListener("change", function (e) {
  document.body.classList.toggle("only-failing", e.target.checked);
});
var byMatch = document.getElementById("by-match");
if (byMatch) byMatch.addEventListener("click", function () {
  var grid = document.querySelector(".grid");
  Array.prototype.slice.call(grid.children)
    .sort(function (a, b) { return parseFloat(a.dataset.match) - parseFloat(b.dataset.match); })
    .forEach(function (item) { grid.appendChild(item); });
});
</script>
</body>
</html>
)");
    return html.toStdString();
}

}  // namespace kuv
