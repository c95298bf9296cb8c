#pragma once

// A front end's measure without a toolkit, for the window's own tests.

#include "CaptionLayout.h"

#include <map>
#include <string>

// Advances of "MS Sans Serif" 8 pt at 96 dpi, Cyrillic code page (Wine's
// sserifer.fon, 13-px cell), for every character of the instructions and the
// task statement.
inline const std::map<char16_t, int> kSansSerif8{
    {u' ', 3}, {u'"', 5}, {u'&', 6}, {u',', 3}, {u'-', 3}, {u'.', 3}, {u'0', 6}, {u'1', 6},
    {u':', 3}, {u'B', 7}, {u'I', 3}, {u'L', 6}, {u'a', 6}, {u'b', 6}, {u'e', 6}, {u'l', 2},
    {u'n', 6}, {u'o', 6}, {u'p', 6}, {u't', 3}, {u'u', 6}, {u'x', 5}, {u'В', 7}, {u'Д', 9},
    {u'Е', 7}, {u'З', 7}, {u'О', 8}, {u'С', 7}, {u'Т', 7}, {u'а', 6}, {u'б', 6}, {u'в', 6},
    {u'г', 5}, {u'д', 6}, {u'е', 6}, {u'ж', 8}, {u'з', 6}, {u'и', 6}, {u'й', 6}, {u'к', 6},
    {u'л', 6}, {u'м', 8}, {u'н', 6}, {u'о', 6}, {u'п', 6}, {u'р', 6}, {u'с', 6}, {u'т', 5},
    {u'у', 5}, {u'ф', 8}, {u'х', 5}, {u'ц', 6}, {u'ч', 5}, {u'ш', 8}, {u'щ', 9}, {u'ы', 8},
    {u'ь', 6}, {u'э', 6}, {u'ю', 8}, {u'я', 6}};

inline form::MeasureText sansSerif8(const std::u16string &text)
{
    return [&text](std::size_t from, std::size_t to) {
        double width = 0;
        for (std::size_t i = from; i < to; ++i)
            width += kSansSerif8.at(text[i]);
        return width;
    };
}
