#include "FontStandIn.h"

namespace form {
namespace {

// Liberation Sans Narrow is a condensed face: its own width is this percent
// of a normal one.
constexpr int kNarrowFaceStretch = 75;

} // namespace

// "MS Sans Serif" is a bitmap face whose small regular sizes are narrow: at
// 8 point its stand-in is a narrow sans set to the width class at which a
// space takes the 3 pixels the long runs in the task statement were counted
// for, so the words fall clear of the formula picture and each instruction
// fits its two lines. Larger or bold, the face is Arial-wide.
FontStandIn fontStandIn(const FontSpec &wanted)
{
    if (wanted.face != u"MS Sans Serif")
        return {.families = {wanted.face}, .weight = wanted.weight};
    if (wanted.points <= 8.5 && wanted.weight < kBoldWeight) {
        constexpr int stretch = 91;
        return {.families = {u"Liberation Sans Narrow", u"DejaVu Sans Condensed", u"DejaVu Sans"},
                .weight = wanted.weight,
                .stretch = stretch,
                .widening = double(stretch) / kNarrowFaceStretch};
    }
    return {.families = {u"Liberation Sans", u"DejaVu Sans"}, .weight = wanted.weight};
}

} // namespace form
