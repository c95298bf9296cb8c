#include "LabelLayout.h"

#include "WideText.h"

#include <algorithm>

namespace {

constexpr int kLayoutDpi = 96;

// A label without a font of its own has the window's.
const form::FontSpec &fontOf(const form::ControlSpec &row) noexcept
{
    return row.font ? *row.font : form::windowSpec().font;
}

} // namespace

LabelLayout::LabelLayout(const form::ControlSpec &row, int dpi, FontCache &fonts)
    : dpi_(dpi), box_(std::get<form::TwipsRect>(row.geometry)), alignment_(row.alignment),
      measuring_(&fonts.font(fontOf(row), kLayoutDpi)), drawn_(&fonts.font(fontOf(row), dpi))
{
    setCaption(row.caption);
}

void LabelLayout::setCaption(std::u16string_view caption)
{
    caption_ = caption;
    shown_ = form::ShownCaption::fromCaption(caption);
    const std::u16string &text = shown_.text;
    advances_.assign(text.size() + 1, 0);
    if (!text.empty()) {
        const UniqueMemoryDc dc(created(CreateCompatibleDC(nullptr), "measuring context"));
        const Selection selected(dc.get(), measuring_->font.get());
        SIZE whole{};
        GetTextExtentExPointW(dc.get(), wide(text), static_cast<int>(text.size()), 0, nullptr,
                              advances_.data() + 1, &whole);
    }
    lines_ = form::breakLines(
        text, [this](std::size_t from, std::size_t to) { return advances_[to] - advances_[from]; },
        form::pixelsFromTwips(box_.width, kLayoutDpi));
}

// Placed in twips first, so that the one rounding rule takes every position
// to the dpi's pixels.
int LabelLayout::x(const form::CaptionLine &line, std::size_t index) const
{
    const int ink = (advances_[line.inkEnd()] - advances_[line.start]) * form::kTwipsPerPixel;
    const int offset = alignment_ == form::Alignment::Centre  ? (box_.width - ink) / 2
                       : alignment_ == form::Alignment::Right ? box_.width - ink
                                                              : 0;
    return form::pixelsFromTwips(
        offset + (advances_[index] - advances_[line.start]) * form::kTwipsPerPixel, dpi_);
}

int LabelLayout::lineTop(std::size_t line) const
{
    const auto lineHeight96 =
        static_cast<int>(measuring_->metrics.tmHeight + measuring_->metrics.tmExternalLeading);
    return form::pixelsFromTwips(static_cast<int>(line) * lineHeight96 * form::kTwipsPerPixel,
                                 dpi_);
}

// A line takes its share of the scaled pitch, or its font's cell where that
// is taller.
int LabelLayout::lineBottom(std::size_t line) const
{
    return std::max(lineTop(line + 1), lineTop(line) + static_cast<int>(drawn_->metrics.tmHeight));
}

RECT LabelLayout::lineBox(std::size_t line) const
{
    const form::CaptionLine &laid = lines_.at(line);
    return {x(laid, laid.start), lineTop(line), x(laid, laid.inkEnd()), lineBottom(line)};
}

std::vector<RECT> LabelLayout::wordBoxes() const
{
    std::vector<RECT> boxes;
    const std::u16string &text = shown_.text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const form::CaptionLine &line = lines_[i];
        std::size_t pos = line.start;
        while (pos < line.inkEnd()) {
            if (text[pos] == u' ') {
                ++pos;
                continue;
            }
            const std::size_t start = pos;
            while (pos < line.inkEnd() && text[pos] != u' ')
                ++pos;
            boxes.push_back({x(line, start), lineTop(i), x(line, pos), lineBottom(i)});
        }
    }
    return boxes;
}

void LabelLayout::draw(HDC dc, const RECT &area, HBRUSH band, COLORREF ink) const
{
    FillRect(dc, &area, band);
    const Selection selected(dc, drawn_->font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    std::vector<INT> steps;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const form::CaptionLine &line = lines_[i];
        steps.clear();
        for (std::size_t k = line.start; k < line.inkEnd(); ++k)
            steps.push_back(x(line, k + 1) - x(line, k));
        ExtTextOutW(dc, area.left + x(line, line.start), area.top + lineTop(i), ETO_CLIPPED, &area,
                    wide(shown_.text) + line.start, static_cast<UINT>(line.inkLength),
                    steps.data());
    }

    // The access key's underline, drawn by hand: the "&" is never shown.
    if (!shown_.underlined)
        return;
    const std::size_t key = *shown_.underlined;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const form::CaptionLine &line = lines_[i];
        if (key < line.start || key >= line.inkEnd())
            continue;
        const int thickness = std::max(1, form::pixelsFromTwips(form::kTwipsPerPixel, dpi_));
        const int y = area.top + lineTop(i) + drawn_->metrics.tmAscent + 1;
        const RECT underline{area.left + x(line, key), y, area.left + x(line, key + 1),
                             std::min<LONG>(y + thickness, area.bottom)};
        SetDCBrushColor(dc, ink);
        FillRect(dc, &underline, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
}
