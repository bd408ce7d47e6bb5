#include "Compare.h"

#include <algorithm>

namespace kuv {

double MatchPercent(long differing) {
    constexpr double kPixels = double(Picture::kWidth) * Picture::kHeight;
    return (kPixels - double(differing)) / kPixels * 100.0;
}

namespace {

// A shared pixel at a quarter of its strength. Drawings have few colours,
// so the last one is kept.
class Fader {
public:
    Pixel operator()(Pixel p) {
        if (known_ && p == from_) return to_;
        known_ = true;
        from_ = p;
        to_ = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const Pixel c = p >> shift & 0xFFu;
            to_ |= (c + (255 - c) * 3 / 4) << shift;
        }
        return to_;
    }

private:
    bool known_ = false;
    Pixel from_ = 0, to_ = 0;
};

}  // namespace

// One pass over both Pictures; the difference picture is made in it when
// one is given.
Comparison ComparePictures(const Picture& student, const Picture& answer, Picture* difference) {
    Comparison c;
    const Pixel* s = student.Pixels();
    const Pixel* a = answer.Pixels();
    const Owner* so = student.Owners().data();
    const Owner* ao = answer.Owners().data();
    Pixel* out = difference ? difference->Pixels() : nullptr;
    Fader faded;
    constexpr std::size_t kPixels = std::size_t{Picture::kWidth} * Picture::kHeight;
    constexpr Pixel kRgb = 0xFFFFFFu;
    Owner first = 0, inAnswer = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        if ((s[i] & kRgb) == (a[i] & kRgb)) {
            if (out) out[i] = faded(s[i]);
            continue;
        }
        ++c.differing;
        if (so && so[i] != 0) first = first == 0 ? so[i] : std::min(first, so[i]);
        if (ao && ao[i] != 0) inAnswer = inAnswer == 0 ? ao[i] : std::min(inAnswer, ao[i]);
        if (out) out[i] = PixelFromColorRef((s[i] & kRgb) == (kWhite & kRgb) ? kOnlyInAnswer : kOnlyInStudent);
    }
    c.firstLine = static_cast<int>(first);
    if (first == 0) c.answerLine = static_cast<int>(inAnswer);
    return c;
}

Picture DifferencePicture(const Picture& student, const Picture& answer) {
    Picture d;
    ComparePictures(student, answer, &d);
    return d;
}

}  // namespace kuv
