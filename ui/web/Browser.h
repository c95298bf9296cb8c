#pragma once

// What the web front end asks of the browser beyond its own elements: text
// measurement, the user's language and colour scheme, and the page's end.

#include "WindowTable.h"
#include "TextEncoding.h"

#include <string>
#include <string_view>

namespace web {

class Form1;

// A font as the page sets it: its CSS, and the face it asks for first.
struct CssFont
{
    std::string css;
    std::string family;
    int weight;
    int pixels;
};

// The advance of `text` in `font`, in CSS pixels: from the embedded face's
// own advances, the same in every browser, and from the browser's measure
// only for characters the face lacks.
double measureText(const CssFont &font, std::u16string_view text);

// The advance the browser itself gives `text` in `font`, which is what it
// draws with (one engine rounds each glyph to whole pixels), in CSS pixels.
double drawnWidth(const CssFont &font, std::u16string_view text);

// The height of a line in `font`, in CSS pixels.
double lineHeight(const CssFont &font);

// The decimal separator of the browser's language, written with Latin digits.
std::string decimalSeparator();

// The separators the languages write with Latin digits: the page embeds their
// glyphs, and takes any other from the browser's own fonts.
inline constexpr std::u16string_view kUsualDecimalSeparators = u".,";

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

} // namespace web
