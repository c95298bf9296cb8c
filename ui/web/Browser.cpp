#include "Browser.h"

#include "Script.h"

#include <array>

extern "C" {
double vantrel_measure_text(const char *font, const char *family, int weight, int pixels,
                            const char16_t *text, std::size_t length);
double vantrel_drawn_width(const char *font, const char16_t *text, std::size_t length);
double vantrel_line_height(const char *font, const char *family, int weight, int pixels);
void vantrel_decimal_separator(char *buffer, std::size_t size);
unsigned vantrel_scheme_text_colour();
char16_t vantrel_lower_case(char16_t letter);
void vantrel_listen_keys(web::Form1 *form);
void vantrel_listen_scheme(web::Form1 *form, int event);
void vantrel_end(web::Form1 *form, int status);
}

namespace web {

double measureText(const CssFont &font, std::u16string_view text)
{
    return callScript(vantrel_measure_text, font.css.c_str(), font.family.c_str(), font.weight,
                      font.pixels, text.data(), text.size());
}

double drawnWidth(const CssFont &font, std::u16string_view text)
{
    return callScript(vantrel_drawn_width, font.css.c_str(), text.data(), text.size());
}

double lineHeight(const CssFont &font)
{
    return callScript(vantrel_line_height, font.css.c_str(), font.family.c_str(), font.weight,
                      font.pixels);
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

} // namespace web
