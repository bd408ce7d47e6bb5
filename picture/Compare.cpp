#include "Compare.h"

#include <algorithm>

namespace kuv {

double MatchPercent(long differing) {
    constexpr double kPixels = double(Picture::kWidth) * Picture::kHeight;
    return (kPixels - double(differing)) / kPixels * 100.0;
}

Comparison ComparePictures(const Picture& student, const Picture& answer) {
    Comparison c;
    const Pixel* s = student.Pixels();
    const Pixel* a = answer.Pixels();
    const Owner* so = student.Owners().data();
    const Owner* ao = answer.Owners().data();
    constexpr std::size_t kPixels = std::size_t{Picture::kWidth} * Picture::kHeight;
    Owner first = 0, inAnswer = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        if ((s[i] & 0xFFFFFFu) == (a[i] & 0xFFFFFFu)) continue;
        ++c.differing;
        if (so && so[i] != 0) first = first == 0 ? so[i] : std::min(first, so[i]);
        if (ao && ao[i] != 0) inAnswer = inAnswer == 0 ? ao[i] : std::min(inAnswer, ao[i]);
    }
    c.firstLine = static_cast<int>(first);
    if (first == 0) c.answerLine = static_cast<int>(inAnswer);
    return c;
}

Picture DifferencePicture(const Picture& student, const Picture& answer) {
    Picture d;
    const Pixel* s = student.Pixels();
    const Pixel* a = answer.Pixels();
    Pixel* out = d.Pixels();
    constexpr std::size_t kPixels = std::size_t{Picture::kWidth} * Picture::kHeight;
    const auto faded = [](Pixel p) {
        Pixel f = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const Pixel c = p >> shift & 0xFFu;
            f |= (c + (255 - c) * 3 / 4) << shift;
        }
        return f;
    };
    for (std::size_t i = 0; i < kPixels; ++i) {
        if ((s[i] & 0xFFFFFFu) == (a[i] & 0xFFFFFFu))
            out[i] = faded(s[i]);
        else
            out[i] = PixelFromColorRef((s[i] & 0xFFFFFFu) == (kWhite & 0xFFFFFFu) ? kOnlyInAnswer : kOnlyInStudent);
    }
    return d;
}

}  // namespace kuv
