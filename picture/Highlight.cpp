#include "Highlight.h"

#include <algorithm>
#include <cmath>

namespace kuv {
namespace {

double Linear(unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Pixel p) {
    return 0.2126 * Linear(p >> 16 & 0xFF) + 0.7152 * Linear(p >> 8 & 0xFF) + 0.0722 * Linear(p & 0xFF);
}

}  // namespace

double ContrastRatio(Pixel a, Pixel b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Pixel HighlightFor(Pixel own) {
    return ContrastRatio(own, kHighlightA) >= ContrastRatio(own, kHighlightB) ? kHighlightA : kHighlightB;
}

}  // namespace kuv
