#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace kuv {

void DrawProgramIcon(QPainter& p) {
    p.fillRect(0, 0, 32, 32, QColor(255, 255, 255));
    p.setPen(Qt::black);
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(6, 16, 16, 12);  // walls
    QPainterPath roof;
    roof.moveTo(3, 16);
    roof.lineTo(14, 6);
    roof.lineTo(25, 16);
    roof.closeSubpath();
    p.setBrush(QColor(255, 0, 0));
    p.drawPath(roof);
    p.setBrush(QColor(0, 128, 0));
    p.drawRect(12, 21, 5, 7);  // door
    p.setBrush(QColor(255, 0, 255));
    p.drawEllipse(QPoint(27, 5), 3, 3);  // sun
    p.setPen(QColor(0, 0, 255));
    p.drawLine(0, 30, 31, 30);  // ground
}

QPixmap ProgramPicture(int size) {
    QPixmap pm(size, size);
    QPainter p(&pm);
    p.scale(size / 32.0, size / 32.0);
    DrawProgramIcon(p);
    return pm;
}

}  // namespace kuv
