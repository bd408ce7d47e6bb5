// The JPEG file of the Picture, through libjpeg: baseline JFIF, quality 90,
// floating-point DCT, standard tables.
#pragma once

#include "Picture.h"

#include <cstdint>
#include <vector>

namespace kuv {

struct JpegResult {
    std::vector<std::uint8_t> bytes;
    // libjpeg's message number when it stopped with an error, else 0.
    int errorCode = 0;
    // The in-memory file could not grow.
    bool outOfMemory = false;
    bool Ok() const { return errorCode == 0 && !outOfMemory; }
};

JpegResult EncodeJpeg(const Picture& picture);

// The encoder on any RGB32 pixels, rows from the top; width and height are
// handed to libjpeg unchecked, so that its own errors can be seen.
JpegResult EncodeJpegPixels(const Pixel* pixels, int width, int height);

}  // namespace kuv
