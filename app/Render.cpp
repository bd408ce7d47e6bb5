#include "Render.h"

#include "language/Cp932.h"
#include "language/Listing.h"
#include "language/ListingText.h"
#include "language/Runner.h"
#include "picture/Picture.h"
#include "picture/PictureImage.h"
#include "shell/Export.h"
#include "shell/Files.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include <iostream>
#include <iterator>
#include <optional>

namespace kuv {
namespace {

constexpr const char* kUsage = "usage: kuv-render [-o PICTURE] [-l LISTING_OUT] LISTING\n";
constexpr const char* kHelp =
    "Runs a KUV listing as the desktop program's Run command does.\n"
    "\n"
    "  LISTING          a listing file (Shift_JIS); - reads standard input\n"
    "  -o PICTURE       write the picture: .bmp (32-bit BMP), .jpg (JPEG) or .png\n"
    "  -l LISTING_OUT   write the rewritten listing (Shift_JIS, CR LF)\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 clean run, 1 error in the listing (its line goes to\n"
    "standard error), 2 a file could not be read or written, or bad usage.\n";

struct Options {
    std::string listing;
    std::optional<std::string> picture;
    std::optional<std::string> listingOut;
};

enum class PictureFormat { Bmp, Jpeg, Png, Unknown };

PictureFormat FormatOf(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (suffix == QLatin1String("bmp")) return PictureFormat::Bmp;
    if (suffix == QLatin1String("jpg")) return PictureFormat::Jpeg;
    if (suffix == QLatin1String("png")) return PictureFormat::Png;
    return PictureFormat::Unknown;
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
    if (o.picture && FormatOf(*o.picture) == PictureFormat::Unknown) {
        err << "kuv-render: the picture's name must end in .bmp, .jpg or .png: " << *o.picture << "\n" << kUsage;
        return 2;
    }
    return std::nullopt;
}

void PrintFailure(std::ostream& err, const QString& message) {
    err << ErrorBoxText(message).toStdString() << "\n";
}

}  // namespace

int RenderMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    Options o;
    if (const std::optional<int> code = ParseArgs(args, o, out, err)) return *code;

    // The same loader as the Open command's.
    std::string text;
    if (o.listing == "-") {
        text = NormaliseLoadedText(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    } else {
        const QString failure = ReadListingFile(QString::fromStdString(o.listing), text);
        if (!failure.isEmpty()) {
            PrintFailure(err, failure);
            return 2;
        }
    }

    Listing listing(text);
    Picture picture;
    const RunResult result = RunProgram(listing, picture);

    if (o.picture) {
        // BMP and JPEG files are written exactly as the export commands write them.
        const QString path = QString::fromStdString(*o.picture);
        const PictureFormat format = FormatOf(*o.picture);
        const QString failure = format == PictureFormat::Png ? WriteWholeFile(path, PngBytes(picture))
                                : ExportPicture(picture, path,
                                                format == PictureFormat::Bmp ? ImageFormat::Bmp : ImageFormat::Jpeg);
        if (!failure.isEmpty()) {
            PrintFailure(err, failure);
            return 2;
        }
    }
    if (o.listingOut) {
        const QString failure = WriteWholeFile(QString::fromStdString(*o.listingOut), listing.Text());
        if (!failure.isEmpty()) {
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

}  // namespace kuv
