// kuv-icon: renders the program's picture as a square PNG of the given
// size, for the icon theme (used while building, not installed).
//   kuv-icon SIZE OUT.png
#include "shell/ProgramIcon.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: kuv-icon SIZE OUT.png\n", stderr);
        return 2;
    }
    const int size = std::atoi(argv[1]);
    QImage image(size, size, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    kuv::DrawProgramIcon(p);
    p.end();
    return image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
