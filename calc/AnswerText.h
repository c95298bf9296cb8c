#pragma once

// The answer as the window shows it, in UTF-16, the one string type of every
// front end.

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

// `x` rounded to five decimals, with at least two integer digits ("00.00000"
// pattern) and `decimalSeparator` between the parts; negative values carry a
// leading "-". Non-finite values, which a checked run never yields, come out
// as "inf", "-inf" or "nan".
std::u16string formatFixed5(double x, std::u16string_view decimalSeparator);

// The digits of `k`, preceded by "-" when negative and by one space otherwise.
std::u16string strInteger(std::int16_t k);

// The answer line: the sum, two spaces, then the counter.
std::u16string makeAnswerText(double s, std::int16_t k, std::u16string_view decimalSeparator);

} // namespace calc
