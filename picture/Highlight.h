// The colours that mark pixels over the Picture (the line a stage shows,
// blinking): each strong enough against the Picture's white for people
// with weak sight, and never white, so that a marked shape never vanishes.
#pragma once

#include "Picture.h"

namespace kuv {

// Two highlights, vermilion and blue, readable with the common
// colour-vision deficiencies; each has a contrast of more than 4:1 against
// white (WCAG's figure for marks is 3:1).
inline constexpr Pixel kHighlightA = 0xFFD55E00u;
inline constexpr Pixel kHighlightB = 0xFF0072B2u;

// WCAG's contrast ratio of two pixels' colours, from 1 to 21.
double ContrastRatio(Pixel a, Pixel b);

// The highlight a marked pixel of this colour blinks to: of the two, the
// one that differs more from it.
Pixel HighlightFor(Pixel own);

}  // namespace kuv
