#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Windows' own settings take a decimal separator of one to three characters.
inline constexpr std::size_t kLongestDecimalSeparator = 3;

// The separator the answer is written with: the user's where Windows' own
// settings would have taken it, else the locale's own, else a point. An
// empty one would join the integer digits to the decimals (a wrong number),
// a long one push the answer out of its label.
std::wstring_view usableDecimalSeparator(std::wstring_view user, std::wstring_view locale) noexcept;

// The user's decimal separator, as above, from the system's locale settings.
std::wstring decimalSeparator();
