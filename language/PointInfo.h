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
// second line: the owning line's number, the shape it drew and its text. Coordinates are KUV's
// (y upwards) and must lie in the Picture.
std::u16string DescribePoint(const Picture& picture, int x, int y, const Listing* paintedBy);

}  // namespace kuv
