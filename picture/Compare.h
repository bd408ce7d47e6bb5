// A student's Picture beside the answer's: how many pixels differ, the
// first line at which the drawing leaves the answer, and a picture of the
// difference. Both Pictures must record their owners.
#pragma once

#include "Picture.h"

namespace kuv {

struct Comparison {
    long differing = 0;  // pixels whose RGB differ
    // The smallest line owning a differing pixel in the student's Picture;
    // 0 when every differing pixel is unowned there (something is missing).
    int firstLine = 0;
    // Then the smallest line of the answer owning a differing pixel; 0 otherwise.
    int answerLine = 0;
};

// With difference, also fills it with DifferencePicture's pixels, in the
// same pass.
Comparison ComparePictures(const Picture& student, const Picture& answer, Picture* difference = nullptr);

// (308,321 - differing) / 308,321 x 100.
double MatchPercent(long differing);

// The colours of the difference picture, told apart with the common
// colour-vision deficiencies (Okabe and Ito's blue and orange).
inline constexpr ColorRef kOnlyInAnswer = 0xB27200;   // #0072B2, blue
inline constexpr ColorRef kOnlyInStudent = 0x009FE6;  // #E69F00, orange

// The pixels both share, faded to a quarter of their strength; the
// answer's where the student left white, in blue; every other differing
// pixel (drawn by the student), in orange.
Picture DifferencePicture(const Picture& student, const Picture& answer);

}  // namespace kuv
