// The program's picture, a small house: drawn in code so that the about
// window and the icons of every size come from one drawing.
#pragma once

class QPainter;

namespace kuv {

// Draws the picture on a 32 x 32 grid; scale the painter for other sizes.
void DrawProgramIcon(QPainter& p);

}  // namespace kuv
