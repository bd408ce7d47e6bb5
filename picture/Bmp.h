// The BMP file of the Picture: 32 bits per pixel, bottom-up, no palette.
#pragma once

#include "Picture.h"

#include <cstdint>
#include <vector>

namespace kuv {

inline constexpr std::size_t kBmpFileSize = 54 + 481 * 2564;  // 1,233,338 bytes

std::vector<std::uint8_t> EncodeBmp(const Picture& picture);

}  // namespace kuv
