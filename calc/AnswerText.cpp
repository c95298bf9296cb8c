#include "AnswerText.h"

#include "FixedDecimal.h"

#include <array>
#include <charconv>
#include <cmath>

namespace calc {

namespace {

void appendFixed5(std::string &text, double x, std::string_view decimalSeparator)
{
    if (x < 0.0)
        text += '-';
    const std::string digits = fixedDecimal(std::fabs(x), 5);
    if (!std::isfinite(x)) {
        text += digits;
        return;
    }
    const std::size_t point = digits.find('.');
    if (point < 2)
        text += '0';
    text += std::string_view(digits).substr(0, point);
    text += decimalSeparator;
    text += std::string_view(digits).substr(point + 1);
}

void appendInteger(std::string &text, std::int16_t k)
{
    std::array<char, 8> buffer{};
    buffer[0] = ' ';
    char *first = buffer.data() + (k < 0 ? 1 : 0);
    char *end = std::to_chars(buffer.data() + 1, buffer.data() + buffer.size(), k).ptr;
    text.append(first, end);
}

} // namespace

std::string formatFixed5(double x, std::string_view decimalSeparator)
{
    std::string text;
    appendFixed5(text, x, decimalSeparator);
    return text;
}

std::string strInteger(std::int16_t k)
{
    std::string text;
    appendInteger(text, k);
    return text;
}

std::string makeAnswerText(double s, std::int16_t k, std::string_view decimalSeparator)
{
    std::string text; // the usual 13 characters stay in the small-string buffer
    appendFixed5(text, s, decimalSeparator);
    text += "  ";
    appendInteger(text, k);
    return text;
}

} // namespace calc
