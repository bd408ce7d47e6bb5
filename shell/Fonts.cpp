#include "Fonts.h"

#include <QStringList>

namespace kuv {

QFont ProportionalFont(int pixelSize) {
    QFont f;
    f.setFamilies(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    f.setPixelSize(pixelSize);
    return f;
}

QFont FixedFont(int pixelSize) {
    QFont f;
    f.setFamilies(QStringList{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPixelSize(pixelSize);
    return f;
}

}  // namespace kuv
