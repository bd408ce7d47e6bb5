// What the Picture shows at a point, in words: the words of the graphics
// window's tooltip, shared by every front-end.
#pragma once

#include "Listing.h"
#include "picture/Picture.h"

#include <string>

namespace kuv {

// "x X  y Y  " and the colour there (its number and name when it is one of
// the colour table's, else its blue, green and red), then, when the
// Picture records owners and paintedBy is the listing that painted it, a
// second line: the owning line's number and text. Coordinates are KUV's
// (y upwards) and must lie in the Picture.
std::u16string DescribePoint(const Picture& picture, int x, int y, const Listing* paintedBy);

// UTF-8 text of the program's own tables (names, which hold only
// characters of the Basic Multilingual Plane) as UTF-16.
std::u16string Utf16OfTableText(std::string_view utf8);

}  // namespace kuv
