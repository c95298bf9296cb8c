#pragma once

// What assistive technology gets of a text the window shows. The screen keeps
// every space, since the runs of spaces place the words on their lines; a
// speech or braille reader gets each run as one space and none at the ends,
// so a braille display never pans through blank cells.

#include <cstddef>
#include <string>
#include <string_view>

namespace form {

// `shown` with each run of spaces made one space and the spaces at both
// ends taken off.
std::u16string accessibleText(std::u16string_view shown);

// Where the character at `offset` of accessibleText(shown) stands in `shown`;
// an offset past its end gives shown.size().
std::size_t shownOffset(std::u16string_view shown, std::size_t offset) noexcept;

} // namespace form
