#include "ColumnLayout.h"

#include <algorithm>
#include <optional>

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

} // namespace

const PixelRect &ColumnLayout::box(const ControlSpec &row) const
{
    return boxes.at(std::size_t(&row - controlSpecs().data()));
}

ColumnLayout columnLayout(int width, const ContentHeight &contentHeight)
{
    const auto rows = controlSpecs();
    const PixelRect window = pixelsFromTwips(windowSpec().clientArea);
    constexpr int thickness = 1; // a line's, at 96 dpi
    ColumnLayout column{.width = width, .height = 0, .boxes = std::vector<PixelRect>(rows.size())};
    const auto boxOf = [&](const ControlSpec &row) -> PixelRect & {
        return column.boxes[std::size_t(&row - rows.data())];
    };
    const auto edgeOf = [&](const ControlSpec &row) {
        const auto *line = std::get_if<TwipsLine>(&row.geometry);
        return line ? std::optional<Edge>(form::edgeOf(*line, window)) : std::nullopt;
    };
    const auto topOf = [](const ControlSpec &row) { return pixelBox(row).top; };
    // A control's band is the number of dividers above its top; the k-th
    // divider from the top closes band k.
    const auto dividersAbove = [&](int top) {
        return int(std::count_if(rows.begin(), rows.end(), [&](const ControlSpec &row) {
            return edgeOf(row) == Edge::Divider && topOf(row) < top;
        }));
    };
    int y = thickness + kColumnGap;
    int band = 0;
    const auto closeBand = [&] {
        for (const ControlSpec &row : rows) {
            if (edgeOf(row) == Edge::Divider && dividersAbove(topOf(row)) == band)
                boxOf(row) = {0, y, width, thickness};
        }
        y += thickness + kColumnGap;
        ++band;
    };

    const int inner = std::max(1, width - 2 * kColumnGap);
    for (const ControlSpec *row : readingOrder()) {
        const PixelRect own = pixelsFromTwips(std::get<TwipsRect>(row->geometry));
        while (band < dividersAbove(own.top + 1))
            closeBand();
        PixelRect &box = boxOf(*row);
        box = {kColumnGap, y, std::min(own.width, inner), own.height};
        if (row->kind == ControlKind::Label) {
            box.width = inner;
            box.height = std::max(own.height, contentHeight(*row, inner));
        }
        y += box.height + kColumnGap;
    }
    // Dividers with nothing below them still close their band.
    while (band < dividersAbove(window.height))
        closeBand();
    column.height = y + thickness;
    for (const ControlSpec &row : rows) {
        if (const auto edge = edgeOf(row); edge == Edge::Top)
            boxOf(row) = {0, 0, width, thickness};
        else if (edge == Edge::Bottom)
            boxOf(row) = {0, column.height - thickness, width, thickness};
        else if (edge == Edge::Left)
            boxOf(row) = {0, 0, thickness, column.height};
        else if (edge == Edge::Right)
            boxOf(row) = {width - thickness, 0, thickness, column.height};
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
