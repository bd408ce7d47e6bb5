#include "Render.h"

#include "language/Cp932.h"
#include "language/Listing.h"
#include "language/ListingText.h"
#include "language/Runner.h"
#include "picture/Bmp.h"
#include "picture/Jpeg.h"
#include "picture/Picture.h"
#include "picture/PictureImage.h"
#include "shell/Export.h"
#include "shell/Files.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include <iostream>
#include <new>
#include <optional>

namespace kuv {
namespace {

constexpr const char* kUsage = "usage: kuv-render [-o PICTURE] [--format bmp|jpg|png] [-l LISTING_OUT] LISTING\n";
constexpr const char* kHelp =
    "Runs a KUV listing as the desktop program's Run command does.\n"
    "\n"
    "  LISTING          a listing file (Shift_JIS); - reads standard input\n"
    "  -o PICTURE       write the picture: .bmp (32-bit BMP), .jpg (JPEG) or .png\n"
    "  --format FORMAT  the picture's format whatever its name: bmp, jpg or png\n"
    "                   (for -o -, png unless given)\n"
    "  -l LISTING_OUT   write the rewritten listing (Shift_JIS, CR LF)\n"
    "                   - as PICTURE or LISTING_OUT writes to standard output\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "Files are replaced whole or not at all: a failed write leaves an existing\n"
    "file as it was. Devices and FIFOs are written in place.\n"
    "\n"
    "Exit status: 0 clean run, 1 error in the listing (its line goes to\n"
    "standard error), 2 a file could not be read or written, memory ran out,\n"
    "or bad usage.\n";

enum class PictureFormat { Bmp, Jpeg, Png, Unknown };

struct Options {
    std::string listing;
    std::optional<std::string> picture;
    std::optional<std::string> listingOut;
    PictureFormat format = PictureFormat::Unknown;  // from -o's name unless --format gave it
};

constexpr const char* kStandardStream = "-";

PictureFormat FormatNamed(const QString& name) {
    if (name == QLatin1String("bmp")) return PictureFormat::Bmp;
    if (name == QLatin1String("jpg")) return PictureFormat::Jpeg;
    if (name == QLatin1String("png")) return PictureFormat::Png;
    return PictureFormat::Unknown;
}

PictureFormat FormatOf(const std::string& path) {
    if (path == kStandardStream) return PictureFormat::Png;
    return FormatNamed(QFileInfo(QString::fromStdString(path)).suffix().toLower());
}

std::string PngBytes(const Picture& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    PictureImage(picture).save(&buffer, "PNG");
    return bytes.toStdString();
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
        if (a == "-o" || a == "-l") {
            if (i + 1 >= args.size()) {
                err << "kuv-render: " << a << " needs a file name\n" << kUsage;
                return 2;
            }
            (a == "-o" ? o.picture : o.listingOut) = args[++i];
        } else if (a == "--format") {
            o.format = i + 1 < args.size() ? FormatNamed(QString::fromStdString(args[++i])) : PictureFormat::Unknown;
            if (o.format == PictureFormat::Unknown) {
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
    if (o.picture && o.format == PictureFormat::Unknown) o.format = FormatOf(*o.picture);
    if (o.picture && o.format == PictureFormat::Unknown) {
        err << "kuv-render: the picture's name must end in .bmp, .jpg or .png: " << *o.picture << "\n" << kUsage;
        return 2;
    }
    if (o.picture == kStandardStream && o.listingOut == kStandardStream) {
        err << "kuv-render: the picture and the listing cannot both go to standard output\n" << kUsage;
        return 2;
    }
    return std::nullopt;
}

void PrintFailure(std::ostream& err, const QString& message) {
    err << ErrorBoxText(message).toStdString() << "\n";
}

// The picture's file as the export commands write it (BMP, JPEG), or as PNG.
QString WritePicture(const Picture& picture, const std::string& name, PictureFormat format, std::ostream& out) {
    if (name == kStandardStream) {
        std::string bytes;
        if (format == PictureFormat::Png) {
            bytes = PngBytes(picture);
        } else if (format == PictureFormat::Bmp) {
            const std::vector<std::uint8_t> bmp = EncodeBmp(picture);
            bytes.assign(bmp.begin(), bmp.end());
        } else {
            const JpegResult jpeg = EncodeJpeg(picture);
            if (jpeg.outOfMemory) return OutOfMemoryMessage();
            if (jpeg.errorCode != 0) return JpegErrorMessage(jpeg.errorCode);
            bytes.assign(jpeg.bytes.begin(), jpeg.bytes.end());
        }
        return WriteToStream(out, bytes);
    }
    const QString path = QString::fromStdString(name);
    if (format == PictureFormat::Png) return WriteWholeFile(path, PngBytes(picture));
    return ExportPicture(picture, path, format == PictureFormat::Bmp ? ImageFormat::Bmp : ImageFormat::Jpeg);
}

QString WriteListing(const std::string& text, const std::string& name, std::ostream& out) {
    if (name == kStandardStream) return WriteToStream(out, text);
    return WriteWholeFile(QString::fromStdString(name), text);
}

int Render(const Options& o, std::istream& in, std::ostream& out, std::ostream& err) {
    // The same loader as the Open command's.
    std::string text;
    const QString unread = o.listing == kStandardStream ? ReadListingStream(in, text)
                                                        : ReadListingFile(QString::fromStdString(o.listing), text);
    if (!unread.isEmpty()) {
        PrintFailure(err, unread);
        return 2;
    }

    Listing listing(std::move(text));
    Picture picture;
    const RunResult result = RunProgram(listing, picture);

    if (o.picture) {
        if (const QString failure = WritePicture(picture, *o.picture, o.format, out); !failure.isEmpty()) {
            PrintFailure(err, failure);
            return 2;
        }
    }
    if (o.listingOut) {
        if (const QString failure = WriteListing(listing.Text(), *o.listingOut, out); !failure.isEmpty()) {
            PrintFailure(err, failure);
            return 2;
        }
    }
    if (!result.errorLine.empty()) {
        err << Cp932ToUtf8(result.errorLine) << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int RenderMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    Options o;
    if (const std::optional<int> code = ParseArgs(args, o, out, err)) return *code;
    try {
        return Render(o, in, out, err);
    } catch (const std::bad_alloc&) {
        PrintFailure(err, OutOfMemoryMessage());
        return 2;
    }
}

}  // namespace kuv
