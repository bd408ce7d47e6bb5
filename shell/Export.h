// Writing the Picture to an image file, shared by the export commands and
// kuv-render.
#pragma once

#include "Files.h"
#include "picture/Picture.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kuv {

// BMP and JPEG as the export commands write them; PNG for kuv-render.
enum class ImageFormat { Bmp, Jpeg, Png };

// Each format's name, which is both its file suffix and the value of
// kuv-render's --format.
struct ImageFormatName {
    ImageFormat format;
    std::string_view name;
};
inline constexpr ImageFormatName kImageFormats[] = {
    {ImageFormat::Bmp, "bmp"},
    {ImageFormat::Jpeg, "jpg"},
    {ImageFormat::Png, "png"},
};
std::optional<ImageFormat> ImageFormatNamed(std::string_view name);
std::string_view NameOf(ImageFormat format);

// The bytes of the Picture's file. Returns an empty string on success, else
// the message of the failure.
QString EncodePicture(const Picture& picture, ImageFormat format, std::vector<std::uint8_t>& bytes);

// Creates the file, encodes the Picture, writes it. Returns an empty string
// on success, else the message of the first failure.
QString ExportPicture(const Picture& picture, const QString& path, ImageFormat format,
                      SpecialFiles special = SpecialFiles::NeverBlock);

}  // namespace kuv
