// Writing the Picture to an image file, shared by the export commands and
// kuv-render.
#pragma once

#include "picture/Picture.h"

#include <QString>

namespace kuv {

enum class ImageFormat { Bmp, Jpeg };

// Creates the file, encodes the Picture, writes it. Returns an empty string
// on success, else the message of the first failure.
QString ExportPicture(const Picture& picture, const QString& path, ImageFormat format);

}  // namespace kuv
