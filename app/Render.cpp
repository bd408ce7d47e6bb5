#include "Render.h"

#include "Batch.h"

#include "language/Cp932.h"
#include "language/Listing.h"
#include "language/Runner.h"
#include "picture/Picture.h"
#include "shell/Export.h"
#include "shell/Files.h"
#include "shell/Paths.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <iostream>
#include <limits>
#include <new>
#include <optional>
#include <vector>

namespace kuv {
namespace {

constexpr const char* kUsage =
    "usage: kuv-render [-o PICTURE] [--format bmp|jpg|png] [-l LISTING_OUT] [--owners OWNERS.pgm] LISTING\n";
constexpr const char* kHelp =
    "Runs a KUV listing as the desktop program's Run command does.\n"
    "\n"
    "  LISTING          a listing file (Shift_JIS); - reads standard input\n"
    "  -o PICTURE       write the picture: .bmp (32-bit BMP), .jpg (JPEG) or .png\n"
    "  --format FORMAT  the picture's format whatever its name: bmp, jpg or png\n"
    "                   (for -o -, png unless given)\n"
    "  -l LISTING_OUT   write the rewritten listing (Shift_JIS, CR LF)\n"
    "  --owners PGM     write which line painted each pixel: a 16-bit PGM, top\n"
    "                   row first, 0 for none (65535 for line 65535 and later)\n"
    "                   - as PICTURE, LISTING_OUT or PGM writes to standard output\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "kuv-render --batch OUTDIR [--format png|bmp|jpg] [-j N] LISTING|FOLDER...\n"
    "                   renders many listings at once (every *.kuv of a folder) into\n"
    "                   OUTDIR, on N threads (default: every core), with a report:\n"
    "                   index.html, report.csv and report.json\n"
    "\n"
    "Files are replaced whole or not at all: a failed write leaves an existing\n"
    "file as it was. Devices and FIFOs are written in place.\n"
    "\n"
    "Exit status: 0 clean run, 1 error in the listing (its line goes to\n"
    "standard error), 2 a file could not be read or written, memory ran out,\n"
    "or bad usage.\n";

struct Options {
    std::string listing;
    std::optional<std::string> picture;
    std::optional<std::string> listingOut;
    std::optional<std::string> owners;
    std::optional<ImageFormat> format;  // from -o's name unless --format gave it
};

constexpr const char* kStandardStream = "-";

std::optional<ImageFormat> FormatOf(const std::string& path) {
    if (path == kStandardStream) return ImageFormat::Png;
    return ImageFormatNamed(QFileInfo(PathFromNative(path)).suffix().toLower().toStdString());
}

// Returns the exit code on a usage decision (help, version, error).
std::optional<int> ParseArgs(const std::vector<std::string>& args, Options& o, std::ostream& out, std::ostream& err) {
    bool haveListing = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << kUsage << kHelp;
            return 0;
        }
        if (a == "--version") {
            out << "kuv-render " KUV_VERSION "\n";
            return 0;
        }
        if (a == "-o" || a == "-l" || a == "--owners") {
            if (i + 1 >= args.size()) {
                err << "kuv-render: " << a << " needs a file name\n" << kUsage;
                return 2;
            }
            (a == "-o" ? o.picture : a == "-l" ? o.listingOut : o.owners) = args[++i];
        } else if (a == "--format") {
            o.format = i + 1 < args.size() ? ImageFormatNamed(args[++i]) : std::nullopt;
            if (!o.format) {
                err << "kuv-render: --format needs bmp, jpg or png\n" << kUsage;
                return 2;
            }
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            err << "kuv-render: unknown option " << a << "\n" << kUsage;
            return 2;
        } else if (haveListing) {
            err << "kuv-render: only one listing may be given\n" << kUsage;
            return 2;
        } else {
            o.listing = a;
            haveListing = true;
        }
    }
    if (!haveListing) {
        err << "kuv-render: no listing given\n" << kUsage;
        return 2;
    }
    if (o.picture && !o.format) o.format = FormatOf(*o.picture);
    if (o.picture && !o.format) {
        err << "kuv-render: the picture's name must end in .bmp, .jpg or .png: " << *o.picture << "\n" << kUsage;
        return 2;
    }
    if ((o.picture == kStandardStream) + (o.listingOut == kStandardStream) + (o.owners == kStandardStream) > 1) {
        err << "kuv-render: only one output can go to standard output\n" << kUsage;
        return 2;
    }
    return std::nullopt;
}

void PrintFailure(std::ostream& err, const QString& message) {
    err << ErrorBoxText(message).toStdString() << "\n";
}

// The picture's file as the export commands write it (BMP, JPEG), or as PNG.
QString WritePicture(const Picture& picture, const std::string& name, ImageFormat format, SpecialFiles special,
                     std::ostream& out) {
    if (name != kStandardStream) return ExportPicture(picture, PathFromNative(name), format, special);
    std::vector<std::uint8_t> bytes;
    if (QString failure = EncodePicture(picture, format, bytes); !failure.isEmpty()) return failure;
    return WriteToStream(out, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

QString WriteBytes(std::string_view bytes, const std::string& name, SpecialFiles special, std::ostream& out) {
    if (name == kStandardStream) return WriteToStream(out, bytes);
    return WriteWholeFile(PathFromNative(name), bytes, special);
}

// Which line painted each pixel, as a binary 16-bit PGM (big-endian
// samples), top row first.
std::string OwnersPgm(const Picture& picture) {
    std::string pgm = "P5\n" + std::to_string(Picture::kWidth) + " " + std::to_string(Picture::kHeight) + "\n65535\n";
    pgm.reserve(pgm.size() + picture.Owners().size() * 2);
    for (const Owner owner : picture.Owners()) {
        const unsigned v = std::min<Owner>(owner, 65535);
        pgm += static_cast<char>(v >> 8);
        pgm += static_cast<char>(v & 0xFF);
    }
    return pgm;
}

}  // namespace

RenderOutcome RenderListing(const RenderJob& job, std::istream& in, std::ostream& out) {
    RenderOutcome outcome;
    const auto fail = [&outcome](const QString& failure) {
        outcome.exitCode = 2;
        outcome.failure = failure;
        return outcome;
    };
    try {
        // The same loader as the Open command's.
        std::string text;
        const QString unread = job.listing == kStandardStream
                                   ? ReadListingStream(in, text)
                                   : ReadListingFile(PathFromNative(job.listing), text,
                                                     std::numeric_limits<std::size_t>::max(), job.special);
        if (!unread.isEmpty()) return fail(unread);
        outcome.read = true;

        Listing listing(std::move(text));
        Picture picture;
        if (job.owners) picture.RecordOwners();
        const RunResult result = RunProgram(listing, picture);
        outcome.error = result.error;
        outcome.statementsRun = result.statementsRun;

        if (job.picture) {
            if (const QString failure = WritePicture(picture, *job.picture, job.format, job.special, out); !failure.isEmpty())
                return fail(failure);
        }
        if (job.listingOut) {
            if (const QString failure = WriteBytes(listing.Text(), *job.listingOut, job.special, out); !failure.isEmpty())
                return fail(failure);
        }
        if (job.owners) {
            if (const QString failure = WriteBytes(OwnersPgm(picture), *job.owners, job.special, out); !failure.isEmpty())
                return fail(failure);
        }
        outcome.exitCode = result.error ? 1 : 0;
        outcome.rewritten = std::move(listing);
    } catch (const std::bad_alloc&) {
        outcome.rewritten = Listing();
        return fail(OutOfMemoryMessage());
    }
    return outcome;
}

int RenderMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    // --batch may stand anywhere; the output folder follows it.
    if (const auto batch = std::find(args.begin(), args.end(), "--batch"); batch != args.end()) {
        std::vector<std::string> rest{"--batch"};
        if (batch + 1 != args.end()) rest.push_back(*(batch + 1));
        rest.insert(rest.end(), args.begin(), batch);
        if (batch + 1 != args.end()) rest.insert(rest.end(), batch + 2, args.end());
        return BatchMain(rest, err);
    }
    Options o;
    if (const std::optional<int> code = ParseArgs(args, o, out, err)) return *code;
    const RenderJob job{o.listing, o.picture, o.format.value_or(ImageFormat::Png), o.listingOut, o.owners};
    const RenderOutcome outcome = RenderListing(job, in, out);
    if (outcome.exitCode == 2) PrintFailure(err, outcome.failure);
    if (outcome.exitCode == 1)
        err << Cp932ToUtf8(ErrorLogLine(outcome.error->line, ErrorMessage(outcome.error->what))) << "\n";
    return outcome.exitCode;
}

}  // namespace kuv
