#include "Batch.h"
#include "RenderArgs.h"

#include "Render.h"
#include "language/Cp932.h"
#include "language/Explanations.h"
#include "picture/Drawing.h"
#include "picture/Picture.h"
#include "shell/Files.h"
#include "shell/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <limits>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

namespace kuv {
namespace {

struct BatchOptions {
    QString outDir;
    ImageFormat format = ImageFormat::Png;
    int jobs = 1;
    QStringList given;
    const Picture* answer = nullptr;  // the answer's Picture, with its owners
    int tolerance = 0;
};

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
    const std::string_view suffix = NameOf(o.format);
    const QString picture = name + '.' + QString::fromLatin1(suffix.data(), static_cast<qsizetype>(suffix.size()));
    const QString listing = name + QStringLiteral(".kuv");
    const QDir out(o.outDir);
    RenderJob job;
    job.listing = NativePath(input);
    job.picture = NativePath(out.filePath(picture));
    job.format = o.format;
    job.listingOut = NativePath(out.filePath(listing));
    // A FIFO among the inputs must not hold up the class's other listings.
    job.special = SpecialFiles::NeverBlock;
    job.describe = true;
    const QString difference = name + QStringLiteral("-diff.png");
    if (o.answer) {
        job.answer = o.answer;
        job.difference = NativePath(out.filePath(difference));
    }
    std::istringstream noInput;
    std::ostringstream noOutput;
    const RenderOutcome outcome = RenderListing(job, noInput, noOutput);
    row.exitStatus = outcome.exitCode;
    row.read = outcome.read;
    row.errorLine = outcome.error ? outcome.error->line : 0;
    row.message = MessageOf(outcome);
    row.statements = outcome.statementsRun;
    row.summary = QString::fromStdU16String(outcome.summary);
    row.comparison = outcome.comparison;
    row.passed = outcome.comparison && outcome.comparison->differing <= o.tolerance;
    if (outcome.comparison) row.difference = difference;
    if (outcome.error)
        if (const std::optional<Advice> advice = ExplainLine(outcome.rewritten.Get(outcome.error->line - 1)))
            row.explanation = QString::fromStdU16String(advice->explanation);
    if (outcome.exitCode != 2) {
        row.picture = picture;
        row.listing = listing;
    }
    if (outcome.read)
        row.shown = ShownListing(outcome.rewritten, row.errorLine ? row.errorLine
                                                    : outcome.comparison ? outcome.comparison->firstLine
                                                                         : 0);
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

int BatchMain(const RenderArgs& args, std::ostream& err) {
    BatchOptions o;
    o.outDir = PathFromNative(args.outDir);
    o.format = args.format.value_or(ImageFormat::Png);
    o.jobs = args.jobs != 0 ? args.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (const std::string& given : args.listings) o.given << PathFromNative(given);
    o.tolerance = args.tolerance;
    // The answer is run once, before anything is written: a faulty one
    // stops the batch.
    Picture answer;
    if (args.answer) {
        std::string text;
        if (const QString unread = ReadListingFile(PathFromNative(*args.answer), text, std::numeric_limits<std::size_t>::max());
            !unread.isEmpty()) {
            err << "--answer: " << ErrorBoxText(unread).toStdString() << "\n";
            return 2;
        }
        Listing listing(std::move(text));
        answer.RecordOwners();
        const RunResult result = RunProgram(listing, answer);
        if (result.error) {
            err << "--answer " << *args.answer << ": " << Cp932ToUtf8(result.errorLine) << "\n";
            return 2;
        }
        o.answer = &answer;
    }
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
