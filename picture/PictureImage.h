// The Picture as a QImage over its own pixels, without a copy: for text,
// for the graphics window and for PNG files.
#pragma once

#include "Picture.h"

#include <QImage>

namespace kuv {

// Writes through to the Picture; valid while the Picture lives.
inline QImage PictureImage(Picture& p) {
    return QImage(reinterpret_cast<uchar*>(p.Pixels()), Picture::kWidth, Picture::kHeight,
                  Picture::kWidth * static_cast<int>(sizeof(Pixel)), QImage::Format_RGB32);
}

// Read-only view.
inline QImage PictureImage(const Picture& p) {
    return QImage(reinterpret_cast<const uchar*>(p.Pixels()), Picture::kWidth, Picture::kHeight,
                  Picture::kWidth * static_cast<int>(sizeof(Pixel)), QImage::Format_RGB32);
}

}  // namespace kuv
