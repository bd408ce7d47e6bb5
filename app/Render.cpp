#include "Render.h"

#include "Batch.h"
#include "Check.h"
#include "Describe.h"
#include "RenderArgs.h"

#include "language/Cp932.h"
#include "language/Description.h"
#include "language/Link.h"
#include "language/Listing.h"
#include "language/Runner.h"
#include "picture/Picture.h"
#include "picture/Png.h"
#include "picture/PictureImage.h"
#include "shell/Export.h"
#include "shell/Files.h"
#include "shell/Paths.h"

#include <QBuffer>
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
        if (job.owners || job.answer) picture.RecordOwners();
        const RunResult result = RunProgram(listing, picture);
        if (job.describe) outcome.summary = SummaryOfRun(result);
        if (job.answer) {
            Picture difference;
            outcome.comparison = ComparePictures(picture, *job.answer, &difference);
            const QString failure = WriteBytes(EncodeFastPng(difference), job.difference, job.special, out);
            if (!failure.isEmpty()) return fail(failure);
        }
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

std::optional<std::string> ReadListingArgument(const std::string& name, std::istream& in, std::ostream& err) {
    std::string text;
    const QString unread = name == kStandardStream
                               ? ReadListingStream(in, text)
                               : ReadListingFile(PathFromNative(name), text, std::numeric_limits<std::size_t>::max());
    if (unread.isEmpty()) return text;
    PrintFailure(err, unread);
    return std::nullopt;
}

namespace {
// --link: the listing's link on a line of its own.
int LinkMain(const RenderArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> text = ReadListingArgument(args.listings.front(), in, err);
    if (!text) return 2;
    MadeLink made;
    try {
        made = LinkOfListingFile(args.linkBase, *text);
    } catch (const std::bad_alloc&) {
        err << ErrorBoxText(OutOfMemoryMessage()).toStdString() << "\n";
        return 2;
    }
    if (made.problem != LinkProblem::None) {
        err << "kuv-render: " << ErrorBoxText(QString::fromStdU16String(LinkProblemText(made.problem))).toStdString() << "\n";
        return 1;
    }
    out << made.link << "\n";
    return 0;
}
}  // namespace

int RenderMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseRenderArgs(args);
    if (parsed.exitNow) {
        out << parsed.out;
        err << parsed.err;
        return *parsed.exitNow;
    }
    const RenderArgs& o = parsed.args;
    if (o.mode == RenderArgs::Mode::Batch) return BatchMain(o, err);
    if (o.mode == RenderArgs::Mode::Check) return CheckMain(o, in, out, err);
    if (o.mode == RenderArgs::Mode::Describe) return DescribeMain(o, in, out, err);
    if (o.mode == RenderArgs::Mode::Link) return LinkMain(o, in, out, err);
    const RenderJob job{o.listings.front(), o.picture, o.format.value_or(ImageFormat::Png), o.listingOut, o.owners};
    const RenderOutcome outcome = RenderListing(job, in, out);
    if (outcome.exitCode == 2) PrintFailure(err, outcome.failure);
    if (outcome.exitCode == 1)
        err << Cp932ToUtf8(ErrorLogLine(outcome.error->line, ErrorMessage(outcome.error->what))) << "\n";
    return outcome.exitCode;
}

}  // namespace kuv
