#pragma once

// Text in the encodings of the two sides: UTF-16 as the table and the DOM
// hold it, UTF-8 as the C library and CSS strings take it.

#include <string>
#include <string_view>

namespace web {

std::string utf8(std::u16string_view text);
std::u16string utf16(std::string_view text);

} // namespace web
