#pragma once

// Text that stays readable on the fixed colour bands whatever colour scheme
// the user has chosen.

#include "WindowTable.h"

namespace form {

// The least contrast between text and its background that reads well
// (WCAG's level AA for normal text).
inline constexpr double kLegibleContrast = 4.5;

// The contrast ratio of two colours, from 1 (the same) to 21 (black on
// white), by their relative luminance in sRGB.
double contrastRatio(Rgb a, Rgb b) noexcept;

// The colour to draw text in on `band`: the scheme's own text colour where
// it contrasts enough, else black or white, whichever contrasts more.
Rgb legibleInk(Rgb schemeText, Rgb band) noexcept;

} // namespace form
