#pragma once

// The window reflowed into one column, for a screen narrower than the window:
// its controls stacked in reading order, each band of the table kept as a
// band, every label as wide as the column and as tall as its lines there.
// The front ends measure the lines and draw; the boxes are decided here.

#include "WindowTable.h"

#include <functional>
#include <vector>

namespace form {

// The height a label's lines take at `width`, in the layout's own units
// (pixels at 96 dpi): the front end breaks them by the caption layout's rule
// in its font.
using ContentHeight = std::function<int(const ControlSpec &label, int width)>;

struct ColumnLayout
{
    int width;
    int height;
    // Each row's box, in the table's order.
    std::vector<PixelRect> boxes;

    // The box of `row`, a row of the table.
    const PixelRect &box(const ControlSpec &row) const;
};

// The room around and between the column's controls: the table's own margin
// between the frame and its labels.
inline constexpr int kColumnGap = 8;

// The window as one column `width` pixels wide. A band of the table (the
// controls between two of its full-width lines) stays a band, closed by its
// line; labels fill the column and grow to their lines, pictures and buttons
// keep their size (no wider than the column).
ColumnLayout columnLayout(int width, const ContentHeight &contentHeight);

// How many times its 96-dpi size the window must be drawn for its smallest
// text to be `minimumPixels` tall; 1 where it is already.
double textScale(double minimumPixels) noexcept;

} // namespace form
