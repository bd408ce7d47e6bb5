#include "Export.h"

#include "Files.h"
#include "picture/Bmp.h"
#include "picture/Jpeg.h"

namespace kuv {

QString ExportPicture(const Picture& picture, const QString& path, ImageFormat format) {
    FileWriter writer(path);
    if (QString failure = writer.Create(); !failure.isEmpty()) return failure;
    if (format == ImageFormat::Bmp) {
        const std::vector<std::uint8_t> bytes = EncodeBmp(picture);
        return writer.Commit(bytes.data(), bytes.size());
    }
    const JpegResult jpeg = EncodeJpeg(picture);
    if (jpeg.outOfMemory) return OutOfMemoryMessage();
    if (jpeg.errorCode != 0) return JpegErrorMessage(jpeg.errorCode);
    return writer.Commit(jpeg.bytes.data(), jpeg.bytes.size());
}

}  // namespace kuv
