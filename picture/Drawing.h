// The drawing routine of every statement. KUV points (x, y) count y upwards
// from the bottom edge: they are drawn at device (x, 480 - y). Parameters
// arrive range-checked by the statement parser.
#pragma once

#include "Picture.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kuv {

// The eight KUV colours, 0x00BBGGRR.
inline constexpr std::array<ColorRef, 8> ColorTable = {
    0x000000,  // 0 black
    0xFF0000,  // 1 blue
    0x0000FF,  // 2 red
    0xFF00FF,  // 3 magenta
    0x008000,  // 4 green
    0xFF8000,  // 5 sky blue
    0x00FFFF,  // 6 yellow
    0xFFFFFF,  // 7 white
};

// What the colours are called (UTF-8), wherever a colour is named to the
// user: the help page, the Picture's tooltip, the hints.
inline constexpr std::array<std::string_view, 8> ColorNames = {
    "黒", "青", "赤", "赤紫", "緑", "水色", "黄", "白",
};

void ClearPicture(Picture& p);
void DrawLine(Picture& p, int x1, int y1, int x2, int y2, int c);
void DrawBox(Picture& p, int x1, int y1, int x2, int y2, int c);
// A closed polygon of 629 segments, clockwise on the screen from the
// rightmost point.
void DrawCircle(Picture& p, int x, int y, int r, int c);
// Counter-clockwise on the screen from angle s to angle e (degrees), with
// 628 steps of 1/100 radian taken as a full turn.
void DrawArc(Picture& p, int x, int y, int r, int s, int e, int c);
// Whether DrawArc with these parameters leaves every pixel as it was: its
// steps run backwards, or its pen never moves off its first point.
bool ArcDrawsNothing(int x, int y, int r, int s, int e);
void PaintArea(Picture& p, int x, int y, int f, int b);
// Fill colour blue p, green q, red r; bounded by black only.
void PaintArea24(Picture& p, int x, int y, int blue, int green, int red);
// Text with the top-left of its cell at (x, 480 - y), in colour c, without
// antialiasing and with a transparent background, so that it adds no colour
// that could change where a later fill stops.
void DrawString(Picture& p, int x, int y, int c, std::u16string_view text);
// How far DrawString moves the pen over the text, in pixels.
int TextAdvance(std::u16string_view text);

// Rounding of the circle and arc walks: halves go to the even neighbour.
long double RoundHalfEven(long double v);
// The first and last step of an arc from s to e degrees.
struct ArcSteps {
    long k0, k1;
};
ArcSteps ArcStepRange(int s, int e);

}  // namespace kuv
