// The program's picture, a small house: drawn in code so that the about
// window and the icons of every size come from one drawing.
#pragma once

#include <QPixmap>

class QPainter;

namespace kuv {

// Draws the picture on a 32 x 32 grid; scale the painter for other sizes.
void DrawProgramIcon(QPainter& p);

// The program's picture at size x size pixels: a little house under a sun.
QPixmap ProgramPicture(int size = 32);

}  // namespace kuv
