#pragma once

#include "WindowTable.h"
#include "OwnedHandles.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

// A font and what the system made of it, measured once.
struct MeasuredFont
{
    UniqueFont font;
    TEXTMETRICW metrics{};
};

// `wanted` at `dpi` dots per inch: its own face where that face has the size
// (a bitmap face such as MS Sans Serif has cells of only a few sizes), else a
// scalable face of the same widths, rather than a smaller cell.
MeasuredFont createFont(const form::FontSpec &wanted, int dpi);

// What the system made of `font`.
TEXTMETRICW textMetrics(HFONT font);

// For each character of `text`, whether the font selected into `dc` lacks
// it (and would draw its missing-glyph box instead).
std::vector<bool> missingCharacters(HDC dc, std::u16string_view text);

// A face that has every character of `text`, for drawing what `wanted`'s
// face lacks: Windows' scalable sans serif where it has them, else the first
// installed scalable face by name that does; none where no face has them all.
std::optional<std::u16string> faceWithCharacters(const form::FontSpec &wanted,
                                                 std::u16string_view text);

// The fonts of one window: each font at each dpi made and measured once, on
// first use, and shared by every control that asks for it. What it hands out
// lives as long as the cache.
class FontCache
{
public:
    const MeasuredFont &font(const form::FontSpec &wanted, int dpi);

private:
    struct Entry
    {
        form::FontSpec wanted;
        int dpi;
        MeasuredFont made;
    };
    // A deque, so that a new font never moves the ones handed out.
    std::deque<Entry> entries_;
};
