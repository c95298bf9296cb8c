#include "Browser.h"

#include "Script.h"

#include <array>

extern "C" {
double vantrel_measure_text(const char *font, const char16_t *text, std::size_t length);
double vantrel_line_height(const char *font, const char *family, int weight, int pixels);
void vantrel_decimal_separator(char *buffer, std::size_t size);
unsigned vantrel_scheme_text_colour();
char16_t vantrel_lower_case(char16_t letter);
void vantrel_listen_keys(web::Form1 *form);
void vantrel_listen_scheme(web::Form1 *form, int event);
void vantrel_end(web::Form1 *form, int status);
}

namespace web {

double measureText(const std::string &font, std::u16string_view text)
{
    return callScript(vantrel_measure_text, font.c_str(), text.data(), text.size());
}

double lineHeight(const std::string &font, const std::string &family, int weight, int pixels)
{
    return callScript(vantrel_line_height, font.c_str(), family.c_str(), weight, pixels);
}

std::string decimalSeparator()
{
    std::array<char, 16> buffer{};
    callScript(vantrel_decimal_separator, buffer.data(), buffer.size());
    return buffer.data();
}

form::Rgb schemeTextColour()
{
    const unsigned rgb = callScript(vantrel_scheme_text_colour);
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
            static_cast<std::uint8_t>(rgb)};
}

char16_t lowerCase(char16_t letter)
{
    return callScript(vantrel_lower_case, letter);
}

void listenToKeys(Form1 *form)
{
    callScript(vantrel_listen_keys, form);
}

void listenToColourScheme(Form1 *form, int event)
{
    callScript(vantrel_listen_scheme, form, event);
}

void endPage(Form1 *form, int status) noexcept
{
    callScriptIgnoringFailure(vantrel_end, form, status);
}

std::string utf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string utf16(std::string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int n = 1; n <= extra && i + n < text.size(); ++n)
            c = (c << 6) | (static_cast<unsigned char>(text[i + n]) & 0x3F);
        i += static_cast<std::size_t>(extra) + 1;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

} // namespace web
