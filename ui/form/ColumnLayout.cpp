#include "ColumnLayout.h"

#include <algorithm>
#include <cstdlib>

namespace form {
namespace {

enum class Edge
{
    Top,
    Bottom,
    Left,
    Right,
    Divider, // between two bands
};

Edge edgeOf(const TwipsLine &line, const PixelRect &window) noexcept
{
    const PixelRect covered = pixelsCovering(line);
    if (line.x1 == line.x2)
        return covered.left == 0 ? Edge::Left : Edge::Right;
    if (covered.top == 0)
        return Edge::Top;
    return covered.top + covered.height >= window.height ? Edge::Bottom : Edge::Divider;
}

const FontSpec &fontOf(const ControlSpec &row) noexcept
{
    return row.font ? *row.font : windowSpec().font;
}

} // namespace

const PixelRect &ColumnLayout::box(const ControlSpec &row) const
{
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [&](const PlacedControl &each) { return each.row == &row; });
    // Every row is placed; a row from outside the table is a caller's fault.
    if (found == controls.end())
        std::abort();
    return found->box;
}

ColumnLayout columnLayout(int width, const ContentHeight &contentHeight)
{
    const PixelRect window = pixelsFromTwips(windowSpec().clientArea);
    constexpr int thickness = 1; // a line's, at 96 dpi
    // The band a control belongs to is the number of dividers above its top.
    std::vector<std::pair<int, const ControlSpec *>> dividers;
    std::vector<std::pair<Edge, const ControlSpec *>> frame;
    for (const ControlSpec &row : controlSpecs()) {
        if (const auto *line = std::get_if<TwipsLine>(&row.geometry)) {
            const Edge edge = edgeOf(*line, window);
            if (edge == Edge::Divider)
                dividers.emplace_back(pixelsCovering(*line).top, &row);
            else
                frame.emplace_back(edge, &row);
        }
    }
    std::sort(dividers.begin(), dividers.end());
    const auto bandOf = [&](const PixelRect &box) {
        return std::count_if(dividers.begin(), dividers.end(),
                             [&](const auto &divider) { return divider.first <= box.top; });
    };

    ColumnLayout column{.width = width, .height = 0, .controls = {}};
    const int inner = std::max(1, width - 2 * kColumnGap);
    int y = thickness + kColumnGap;
    std::ptrdiff_t band = 0;
    for (const ControlSpec *row : readingOrder()) {
        const PixelRect own = pixelsFromTwips(std::get<TwipsRect>(row->geometry));
        // A band's line closes it a gap below its last control.
        for (const std::ptrdiff_t next = bandOf(own); band < next; ++band) {
            column.controls.push_back(
                {dividers[std::size_t(band)].second, {0, y, width, thickness}});
            y += thickness + kColumnGap;
        }
        PixelRect box{kColumnGap, y, std::min(own.width, inner), own.height};
        if (row->kind == ControlKind::Label) {
            box.width = inner;
            box.height = std::max(own.height, contentHeight(*row, inner));
        }
        column.controls.push_back({row, box});
        y += box.height + kColumnGap;
    }
    // Dividers with nothing below them still close their band.
    for (; std::size_t(band) < dividers.size(); ++band) {
        column.controls.push_back({dividers[std::size_t(band)].second, {0, y, width, thickness}});
        y += thickness + kColumnGap;
    }
    column.height = y + thickness;
    for (const auto &[edge, row] : frame) {
        PixelRect box{0, 0, width, thickness};
        if (edge == Edge::Bottom)
            box.top = column.height - thickness;
        else if (edge == Edge::Left)
            box = {0, 0, thickness, column.height};
        else if (edge == Edge::Right)
            box = {width - thickness, 0, thickness, column.height};
        column.controls.push_back({row, box});
    }
    return column;
}

double textScale(double minimumPixels) noexcept
{
    int smallest = emPixels(windowSpec().font, 96);
    for (const ControlSpec &row : controlSpecs()) {
        if (row.kind == ControlKind::Label || row.kind == ControlKind::Button)
            smallest = std::min(smallest, emPixels(fontOf(row), 96));
    }
    // Also false for a minimum that is not a number.
    if (!(minimumPixels > smallest))
        return 1.0;
    return minimumPixels / smallest;
}

} // namespace form
