// The program's fonts: the Windows faces first, then the IPA faces that
// stand in for them on Linux (Debian's fonts-ipafont-gothic).
#pragma once

#include <QFont>

namespace kuv {

// Proportional: "ＭＳ Ｐゴシック", else IPAPGothic.
QFont ProportionalFont(int pixelSize);
// Fixed pitch: "ＭＳ ゴシック", else IPAGothic.
QFont FixedFont(int pixelSize);

}  // namespace kuv
