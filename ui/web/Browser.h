#pragma once

// What the web front end asks of the browser beyond its own elements: text
// measurement, the user's language and colour scheme, and the page's end.

#include "LayoutTable.h"

#include <string>
#include <string_view>

namespace web {

class Form1;

// The advance of `text` set in the CSS font `font`, in CSS pixels.
double measureText(const std::string &font, std::u16string_view text);

// The height of a line in the CSS font `font`, whose first family is
// `family` at `weight` and `pixels`, in CSS pixels.
double lineHeight(const std::string &font, const std::string &family, int weight, int pixels);

// The decimal separator of the browser's language, written with Latin digits.
std::string decimalSeparator();

// The colour scheme's text colour (light or dark, as the user prefers).
form::Rgb schemeTextColour();

// The browser's lower case of a letter.
char16_t lowerCase(char16_t letter);

// Every key pressed in the page goes to `form` first.
void listenToKeys(Form1 *form);

// `form` gets `event` when the user's colour scheme changes.
void listenToColourScheme(Form1 *form, int event);

// Records how the window ended, closes the page where the browser allows, and
// has `form` (if any) destroyed once the calls running into it have returned.
void endPage(Form1 *form, int status) noexcept;

// Text in the encodings of the two sides.
std::string utf8(std::u16string_view text);
std::u16string utf16(std::string_view text);

} // namespace web
