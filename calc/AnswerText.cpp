#include "AnswerText.h"

#include "FixedDecimal.h"

#include <array>
#include <charconv>
#include <cmath>

namespace calc {

namespace {

// The digits and signs are ASCII, so each byte is its own UTF-16 unit.
void appendAscii(std::u16string &text, std::string_view ascii)
{
    text.append(ascii.begin(), ascii.end());
}

void appendFixed5(std::u16string &text, double x, std::u16string_view decimalSeparator)
{
    if (x < 0.0)
        text += u'-';
    const std::string digits = fixedDecimal(std::fabs(x), 5);
    if (!std::isfinite(x)) {
        appendAscii(text, digits);
        return;
    }
    const std::size_t point = digits.find('.');
    if (point < 2)
        text += u'0';
    appendAscii(text, std::string_view(digits).substr(0, point));
    text += decimalSeparator;
    appendAscii(text, std::string_view(digits).substr(point + 1));
}

void appendInteger(std::u16string &text, std::int16_t k)
{
    std::array<char, 8> buffer{};
    buffer[0] = ' ';
    char *first = buffer.data() + (k < 0 ? 1 : 0);
    char *end = std::to_chars(buffer.data() + 1, buffer.data() + buffer.size(), k).ptr;
    appendAscii(text, std::string_view(first, static_cast<std::size_t>(end - first)));
}

} // namespace

std::u16string formatFixed5(double x, std::u16string_view decimalSeparator)
{
    std::u16string text;
    appendFixed5(text, x, decimalSeparator);
    return text;
}

std::u16string strInteger(std::int16_t k)
{
    std::u16string text;
    appendInteger(text, k);
    return text;
}

std::u16string makeAnswerText(double s, std::int16_t k, std::u16string_view decimalSeparator)
{
    std::u16string text;
    appendFixed5(text, s, decimalSeparator);
    text += u"  ";
    appendInteger(text, k);
    return text;
}

} // namespace calc
