#include "Batch.h"

#include "Render.h"
#include "language/Cp932.h"
#include "picture/Drawing.h"
#include "picture/Picture.h"
#include "shell/Files.h"
#include "shell/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

namespace kuv {
namespace {

constexpr const char* kBatchUsage =
    "usage: kuv-render --batch OUTDIR [--format png|bmp|jpg] [-j N] LISTING|FOLDER...\n";
constexpr int kShownLines = 200;
constexpr int kShownAround = 10;

const char* Suffix(ImageFormat f) { return f == ImageFormat::Bmp ? "bmp" : f == ImageFormat::Jpeg ? "jpg" : "png"; }

struct BatchOptions {
    QString outDir;
    ImageFormat format = ImageFormat::Png;
    int jobs = 0;
    QStringList given;
};

// Returns the exit status of a usage decision.
std::optional<int> ParseBatchArgs(const std::vector<std::string>& args, BatchOptions& o, std::ostream& err) {
    const auto usage = [&err](const std::string& problem) {
        err << "kuv-render: " << problem << "\n" << kBatchUsage;
        return 2;
    };
    if (args.size() < 2) return usage("--batch needs an output folder");
    o.outDir = PathFromNative(args[1]);
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format" || a == "-j") {
            if (i + 1 >= args.size()) return usage(a + " needs a value");
            const std::string v = args[++i];
            if (a == "-j") {
                o.jobs = std::atoi(v.c_str());
                if (o.jobs < 1 || o.jobs > 256) return usage("-j needs a number from 1 to 256");
            } else if (v == "png" || v == "bmp" || v == "jpg") {
                o.format = v == "png" ? ImageFormat::Png : v == "bmp" ? ImageFormat::Bmp : ImageFormat::Jpeg;
            } else {
                return usage("--format needs png, bmp or jpg");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else {
            o.given << PathFromNative(a);
        }
    }
    if (o.given.isEmpty()) return usage("no listing given");
    if (o.jobs == 0) o.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::nullopt;
}

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

QString StatusText(const BatchRow& r) {
    if (r.exitStatus == 0) return QStringLiteral("正常");
    if (r.exitStatus == 1) return QStringLiteral("%1行：%2").arg(r.errorLine, 3).arg(r.message);
    return (r.read ? QStringLiteral("書けません：") : QStringLiteral("読めません：")) + r.message;
}

const char* StatusClass(const BatchRow& r) {
    return r.exitStatus == 0 ? "clean" : r.exitStatus == 1 ? "error" : r.read ? "failed" : "unreadable";
}

// The error box's message of a failure, or the ErrorLog line's message.
QString MessageOf(const RenderOutcome& o) {
    if (o.exitCode == 2) return ErrorBoxText(o.failure);
    if (o.error) return QString::fromStdString(Cp932ToUtf8(ErrorMessage(o.error->what)));
    return {};
}

// Progress on standard error: one line that updates on a terminal, a line
// per listing elsewhere.
class Progress {
public:
    Progress(std::ostream& err, int total) : err_(err), total_(total), terminal_(::isatty(2) && &err == &std::cerr) {
        started_ = std::chrono::steady_clock::now();
    }
    void Done(const BatchRow& row) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++done_;
        if (row.exitStatus != 0) ++failed_;
        if (!terminal_) {
            err_ << "[" << done_ << "/" << total_ << "] " << PathForDisplay(row.input).toStdString() << ": "
                 << StatusText(row).toStdString() << "\n";
            return;
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        const int left = static_cast<int>(elapsed / done_ * (total_ - done_) + 0.5);
        char line[160];
        std::snprintf(line, sizeof line, "\r%d/%d  エラー %d  残り %d 秒   ", done_, total_, failed_, left);
        err_ << line << std::flush;
        if (done_ == total_) err_ << "\n";
    }

private:
    std::ostream& err_;
    const int total_;
    const bool terminal_;
    std::chrono::steady_clock::time_point started_;
    std::mutex mutex_;
    int done_ = 0, failed_ = 0;
};

BatchRow RenderOne(const QString& input, const QString& name, const BatchOptions& o) {
    const auto started = std::chrono::steady_clock::now();
    BatchRow row;
    row.input = input;
    const QString picture = name + '.' + Suffix(o.format);
    const QString listing = name + QStringLiteral(".kuv");
    const QDir out(o.outDir);
    RenderJob job;
    job.listing = NativePath(input);
    job.picture = NativePath(out.filePath(picture));
    job.format = o.format;
    job.listingOut = NativePath(out.filePath(listing));
    // A FIFO among the inputs must not hold up the class's other listings.
    job.special = SpecialFiles::NeverBlock;
    std::istringstream noInput;
    std::ostringstream noOutput;
    const RenderOutcome outcome = RenderListing(job, noInput, noOutput);
    row.exitStatus = outcome.exitCode;
    row.read = outcome.read;
    row.errorLine = outcome.error ? outcome.error->line : 0;
    row.message = MessageOf(outcome);
    row.statements = outcome.statementsRun;
    if (outcome.exitCode != 2) {
        row.picture = picture;
        row.listing = listing;
    }
    if (outcome.read)
        row.shown = ShownListing(outcome.rewritten, row.errorLine);
    row.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    return row;
}

}  // namespace

QStringList CollectInputs(const QStringList& given) {
    QStringList inputs;
    for (const QString& g : given) {
        std::string folder = NativePath(g);
        struct stat st;
        DIR* dir = ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ::opendir(folder.c_str()) : nullptr;
        if (!dir) {
            inputs << g;  // a file, or a folder that cannot be listed: its row says so
            continue;
        }
        // Every entry named *.kuv (any case), by its bytes: one that is not
        // UTF-8, a dangling or looping link, a FIFO, each gets its row.
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name.size() > 4 && QByteArray(name.data() + name.size() - 4, 4).toLower() == ".kuv")
                names.emplace_back(name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        if (folder.back() != '/') folder += '/';
        for (const std::string& name : names) inputs << PathFromNative(folder + name);
    }
    return inputs;
}

QStringList OutputNames(const QStringList& inputs, const QString& outDir) {
    QSet<QString> taken;
    QSet<QString> inputPaths;
    for (const QString& in : inputs) inputPaths.insert(QFileInfo(in).absoluteFilePath());
    QStringList names;
    for (const QString& in : inputs) {
        const QString base = QFileInfo(in).completeBaseName().isEmpty() ? QStringLiteral("listing")
                                                                        : QFileInfo(in).completeBaseName();
        QString name = base;
        for (int n = 2; taken.contains(name) ||
                        inputPaths.contains(QFileInfo(QDir(outDir).filePath(name + QStringLiteral(".kuv"))).absoluteFilePath());
             ++n)
            name = base + '-' + QString::number(n);
        taken.insert(name);
        names << name;
    }
    return names;
}

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
    for (const BatchRow& r : rows) status = std::max(status, r.exitStatus);
    return status;
}

std::string ReportCsv(const std::vector<BatchRow>& rows) {
    // UTF-8 with a byte-order mark, so that spreadsheet programs read the
    // Japanese messages as UTF-8.
    QString csv = QStringLiteral("\uFEFFinput,picture,listing,exit_status,error_line,message,statements,ms\r\n");
    for (const BatchRow& r : rows)
        csv += QStringList{CsvField(PathForDisplay(r.input)), CsvField(PathForDisplay(r.picture)),
                           CsvField(PathForDisplay(r.listing)), QString::number(r.exitStatus),
                           QString::number(r.errorLine), CsvField(r.message), QString::number(r.statements),
                           QString::number(r.ms, 'f', 1)}
                   .join(',') +
               QStringLiteral("\r\n");
    return csv.toStdString();
}

std::string ReportJson(const std::vector<BatchRow>& rows, const QString& date) {
    QString json = QStringLiteral("{\n  \"version\": \"" KUV_VERSION "\",\n  \"date\": %1,\n  \"rows\": [").arg(JsonString(date));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const BatchRow& r = rows[i];
        json += QStringLiteral("%1\n    {\"input\": %2, \"picture\": %3, \"listing\": %4, \"exit_status\": %5, "
                               "\"error_line\": %6, \"message\": %7, \"statements\": %8, \"ms\": %9}")
                    .arg(i ? "," : "", JsonString(PathForDisplay(r.input)), JsonString(PathForDisplay(r.picture)),
                         JsonString(PathForDisplay(r.listing)))
                    .arg(r.exitStatus)
                    .arg(r.errorLine)
                    .arg(JsonString(r.message))
                    .arg(r.statements)
                    .arg(r.ms, 0, 'f', 1);
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
.path { margin: 0 0 .2em; color: #777; font-size: .75em; word-break: break-all; }
.clean .status { color: #070; }
.error .status, .unreadable .status, .failed .status { color: #c00; }
.error, .unreadable, .failed { border-color: #c00; }
pre { font-family: "IPAGothic", "MS Gothic", monospace; font-size: .8em; background: #ffffe1; padding: .4em;
      max-height: 16em; overflow: auto; margin: 0; }
mark { background: #fcc; display: block; }
body.only-errors .clean { display: none; }
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
    html += QStringLiteral("<label><input type=\"checkbox\" id=\"only-errors\"> エラーだけ表示</label>\n<div class=\"grid\">\n");
    for (const BatchRow& r : rows) {
        html += QStringLiteral("<section class=\"item %1\">\n").arg(StatusClass(r));
        // The thumbnail links to the picture at full size.
        if (!r.picture.isEmpty()) {
            const QString src = Escape(QString::fromLatin1(QByteArray::fromStdString(NativePath(r.picture)).toPercentEncoding()));
            html += QStringLiteral("<a href=\"%1\" title=\"原寸で表示\"><img src=\"%1\" alt=\"%2\" width=\"641\" height=\"481\" "
                                   "loading=\"lazy\"></a>\n")
                        .arg(src, Escape(PathForDisplay(r.input)));
        }
        html += QStringLiteral("<h2>%1</h2>\n<p class=\"path\">%2</p>\n<p class=\"status\">%3</p>\n")
                    .arg(Escape(PathForDisplay(QFileInfo(r.input).fileName())), Escape(PathForDisplay(r.input)),
                         Escape(StatusText(r)));
        if (!r.shown.isEmpty()) html += QStringLiteral("<pre>%1</pre>\n").arg(r.shown);
        html += QStringLiteral("</section>\n");
    }
    html += QStringLiteral(R"(</div>
<script>
document.getElementById("only-errors").addEventListener("change", function (e) {
  document.body.classList.toggle("only-errors", e.target.checked);
});
</script>
</body>
</html>
)");
    return html.toStdString();
}

int BatchMain(const std::vector<std::string>& args, std::ostream& err) {
    BatchOptions o;
    if (const std::optional<int> code = ParseBatchArgs(args, o, err)) return *code;
    if (!MakeFolders(o.outDir)) {
        err << ErrorBoxText(CannotCreateMessage(o.outDir)).toStdString() << "\n";
        return 2;
    }
    const QStringList inputs = CollectInputs(o.given);
    const QStringList names = OutputNames(inputs, o.outDir);
    std::vector<BatchRow> rows(static_cast<std::size_t>(inputs.size()));
    Progress progress(err, static_cast<int>(inputs.size()));
    // The fonts are found and loaded once, before the threads share them.
    Picture warmUp;
    DrawString(warmUp, 0, 480, 0, u"KUV かな 漢字");
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < inputs.size(); i = next++) {
            rows[static_cast<std::size_t>(i)] = RenderOne(inputs[i], names[i], o);
            progress.Done(rows[static_cast<std::size_t>(i)]);
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < std::min<int>(o.jobs, static_cast<int>(inputs.size())); ++t) workers.emplace_back(work);
    work();
    for (std::thread& w : workers) w.join();

    const QString date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    const QDir out(o.outDir);
    int status = BatchExitStatus(rows);
    for (const auto& [file, bytes] : {std::pair{QStringLiteral("index.html"), ReportHtml(rows, date)},
                                      std::pair{QStringLiteral("report.csv"), ReportCsv(rows)},
                                      std::pair{QStringLiteral("report.json"), ReportJson(rows, date)}}) {
        if (const QString failure = WriteWholeFile(out.filePath(file), bytes); !failure.isEmpty()) {
            // Which report failed: a write error alone names no file.
            err << PathForDisplay(out.filePath(file)).toStdString() << ": " << ErrorBoxText(failure).toStdString() << "\n";
            status = 2;
        }
    }
    return status;
}

}  // namespace kuv
