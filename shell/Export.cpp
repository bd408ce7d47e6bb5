#include "Export.h"

#include "Files.h"
#include "picture/Bmp.h"
#include "picture/Jpeg.h"
#include "picture/PictureImage.h"

#include <QBuffer>
#include <QByteArray>

namespace kuv {

std::optional<ImageFormat> ImageFormatNamed(std::string_view name) {
    for (const ImageFormatName& f : kImageFormats)
        if (f.name == name) return f.format;
    return std::nullopt;
}

std::string_view NameOf(ImageFormat format) {
    for (const ImageFormatName& f : kImageFormats)
        if (f.format == format) return f.name;
    return {};
}

QString EncodePicture(const Picture& picture, ImageFormat format, std::vector<std::uint8_t>& bytes) {
    if (format == ImageFormat::Bmp) {
        bytes = EncodeBmp(picture);
    } else if (format == ImageFormat::Jpeg) {
        JpegResult jpeg = EncodeJpeg(picture);
        if (jpeg.outOfMemory) return OutOfMemoryMessage();
        if (jpeg.errorCode != 0) return JpegErrorMessage(jpeg.errorCode);
        bytes = std::move(jpeg.bytes);
    } else {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        PictureImage(picture).save(&buffer, "PNG");
        bytes.assign(png.begin(), png.end());
    }
    return {};
}

QString ExportPicture(const Picture& picture, const QString& path, ImageFormat format, SpecialFiles special) {
    // The file is created before any content is made, as the commands do.
    FileWriter writer(path, special);
    if (QString failure = writer.Create(); !failure.isEmpty()) return failure;
    std::vector<std::uint8_t> bytes;
    if (QString failure = EncodePicture(picture, format, bytes); !failure.isEmpty()) return failure;
    return writer.Commit(bytes.data(), bytes.size());
}

}  // namespace kuv
