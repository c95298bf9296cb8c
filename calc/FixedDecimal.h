#pragma once

#include <string>

namespace calc {

// `value` in fixed notation with `decimals` digits after a "." (0 to 9),
// rounded from its exact binary value, ties to even: the text
// std::to_chars(first, last, value, std::chars_format::fixed, decimals)
// writes, for every double. Finite values carry every integer digit (up to
// 309); infinities and NaN come out as "inf", "-inf", "nan" and "-nan".
//
// Independent of any locale, and free of the C library's printf and of the
// standard library's floating-point tables, which cost a small program far
// more than this does (and which some standard libraries still lack).
std::string fixedDecimal(double value, int decimals);

} // namespace calc
