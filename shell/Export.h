// Writing the Picture to an image file, shared by the export commands and
// kuv-render.
#pragma once

#include "Files.h"
#include "picture/Picture.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace kuv {

// BMP and JPEG as the export commands write them; PNG for kuv-render.
enum class ImageFormat { Bmp, Jpeg, Png };

// The bytes of the Picture's file. Returns an empty string on success, else
// the message of the failure.
QString EncodePicture(const Picture& picture, ImageFormat format, std::vector<std::uint8_t>& bytes);

// Creates the file, encodes the Picture, writes it. Returns an empty string
// on success, else the message of the first failure.
QString ExportPicture(const Picture& picture, const QString& path, ImageFormat format,
                      SpecialFiles special = SpecialFiles::NeverBlock);

}  // namespace kuv
