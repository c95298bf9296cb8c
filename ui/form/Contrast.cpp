#include "Contrast.h"

#include <algorithm>
#include <cmath>

namespace form {
namespace {

double linear(std::uint8_t channel) noexcept
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(Rgb colour) noexcept
{
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) +
           0.0722 * linear(colour.blue);
}

} // namespace

double contrastRatio(Rgb a, Rgb b) noexcept
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb legibleInk(Rgb schemeText, Rgb band) noexcept
{
    if (contrastRatio(schemeText, band) >= kLegibleContrast)
        return schemeText;
    constexpr Rgb black{0, 0, 0};
    constexpr Rgb white{255, 255, 255};
    return contrastRatio(black, band) >= contrastRatio(white, band) ? black : white;
}

} // namespace form
