#pragma once

// How a caption is shown: its access-key marker taken out, and its text
// broken into lines the way the captions' runs of spaces were written for.
// The front ends measure and draw; where the lines break and where each line
// and the access key's underline stand is decided here.

#include "WindowTable.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace form {

// A caption as shown: "&x" shows "x" underlined, "&&" shows one "&".
struct ShownCaption
{
    std::u16string text;
    std::optional<std::size_t> underlined = {}; // index in `text`

    static ShownCaption fromCaption(std::u16string_view caption);
};

// The access key of a caption (the letter after its first lone "&"), or
// nothing.
std::optional<char16_t> accessKey(std::u16string_view caption);

// One line of a laid-out text: characters [start, start + length). The last
// `length - inkLength` of them are spaces that hang past the line's end.
struct CaptionLine
{
    std::size_t start;
    std::size_t length;
    std::size_t inkLength;

    std::size_t end() const noexcept { return start + length; }
    std::size_t inkEnd() const noexcept { return start + inkLength; }
    friend bool operator==(const CaptionLine &, const CaptionLine &) = default;
};

// The advance of the shown text's characters [from, to) in the front end's
// font, in the layout's own units (pixels at 96 dpi).
using MeasureText = std::function<double(std::size_t from, std::size_t to)>;

// Breaks `text` into lines no wider than `width`. Every run of spaces is
// kept: spaces take room like any character, and those that reach past the
// end of a line hang there rather than start the next one. A word that does
// not fit moves whole to the next line; only a word wider than a whole line
// is split, as late as it fits (at least one character a line).
std::vector<CaptionLine> breakLines(std::u16string_view text, const MeasureText &measure,
                                    double width);

// What a front end's font brings to a caption's layout, all in one unit:
// its advances, its line pitch, and how far below a line's top its
// underline runs.
struct CaptionFont
{
    MeasureText measure;
    double lineHeight;
    double underlineDrop;
};

// A line placed in its box: its ink (the line without its hanging spaces)
// starts at `x` and is `width` wide; it runs down from `y`, `height` tall.
struct PlacedLine
{
    CaptionLine range;
    double x;
    double y;
    double width;
    double height;
};

// The access key's underline: under character `index` of the shown text,
// on line `line`, from `x` to `x + width` at `y`.
struct Underline
{
    std::size_t line;
    std::size_t index;
    double x;
    double width;
    double y;
};

// A caption laid out in a box `width` wide, in the units of its font; the
// front ends draw it as it stands.
struct LaidCaption
{
    std::vector<PlacedLine> lines;
    std::optional<Underline> underline = {};
};

LaidCaption layCaption(const ShownCaption &shown, Alignment alignment, double width,
                       const CaptionFont &font);

} // namespace form
