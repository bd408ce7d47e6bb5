// The PNG file of a Picture: with a palette when it has at most 256
// colours (a drawing has a handful), else 8-bit RGB; no filter, compressed
// fast. For pictures made in bulk (a class's difference pictures), where
// the time to make them counts more than their size.
#pragma once

#include "Picture.h"

#include <string>

namespace kuv {

std::string EncodeFastPng(const Picture& picture);

}  // namespace kuv
