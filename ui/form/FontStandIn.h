#pragma once

// The installed faces that stand in for a Windows face of the layout, shared
// by every front end that cannot ask the system for the face itself.

#include "WindowTable.h"

#include <optional>
#include <string>
#include <vector>

namespace form {

struct FontStandIn
{
    // In order of preference; every one covers all the window's text (Latin
    // and Cyrillic), so no per-script fallback is needed.
    std::vector<std::u16string> families;
    int weight = 400;
    // The width asked for, in percent of a face's normal width (QFont's and
    // CSS's stretch); unset: the face as it is.
    std::optional<int> stretch = {};
    // How much wider than the first family's own glyphs that width is: the
    // factor to scale its measured advances and drawn glyphs by where a
    // renderer cannot widen a face itself.
    double widening = 1.0;

    friend bool operator==(const FontStandIn &, const FontStandIn &) = default;
};

// The stand-in for `wanted`; a face not known to need one stands for itself.
FontStandIn fontStandIn(const FontSpec &wanted);

} // namespace form
