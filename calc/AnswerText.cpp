#include "AnswerText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace calc {

namespace {

// Enough for the widest double in fixed notation: 309 integer digits, the
// point and five decimals.
constexpr std::size_t kFixedBufferSize = 330;

void appendFixed5(std::string &text, double x, std::string_view decimalSeparator)
{
    if (x < 0.0)
        text += '-';
    std::array<char, kFixedBufferSize> buffer; // NOLINT: written by to_chars before use
    // to_chars rounds the exact binary value and ignores the C locale; the
    // buffer fits every double, so it cannot fail.
    const char *end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(x),
                                    std::chars_format::fixed, 5)
                          .ptr;
    const std::string_view digits(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    if (!std::isfinite(x)) {
        text += digits;
        return;
    }
    const std::size_t point = digits.find('.');
    if (point < 2)
        text += '0';
    text += digits.substr(0, point);
    text += decimalSeparator;
    text += digits.substr(point + 1);
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
