#include "LabelLayout.h"

#include "WideText.h"

#include <algorithm>

namespace {

constexpr int kLayoutDpi = 96;

} // namespace

LabelLayout::LabelLayout(const form::ControlSpec &row, int dpi, FontCache &fonts)
    : dpi_(dpi), box_(std::get<form::TwipsRect>(row.geometry)), alignment_(row.alignment),
      fonts_(&fonts), font_(&form::fontOf(row)), measuring_(&fonts.font(*font_, kLayoutDpi)),
      drawn_(&fonts.font(*font_, dpi))
{
    setCaption(row.caption);
}

void LabelLayout::chooseFallback()
{
    const std::u16string &text = shown_.text;
    fallback_.assign(text.size(), false);
    // Missing from the face measured with or the one drawn with (a bitmap
    // face's scalable stand-in at some sizes).
    const UniqueMemoryDc dc(created(CreateCompatibleDC(nullptr), "measuring context"));
    std::u16string missing;
    for (const MeasuredFont *font : {measuring_, drawn_}) {
        const Selection selected(dc.get(), font->font.get());
        const std::vector<bool> lacks = missingCharacters(dc.get(), text);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (lacks[i] && !fallback_[i]) {
                fallback_[i] = true;
                missing += text[i];
            }
        }
    }
    if (missing.empty())
        return;
    // The face already chosen serves again where it has them all.
    if (fallbackMeasuring_) {
        const Selection selected(dc.get(), fallbackMeasuring_->font.get());
        if (std::ranges::none_of(missingCharacters(dc.get(), missing), std::identity{}))
            return;
    }
    const std::optional<std::u16string> face = faceWithCharacters(*font_, missing);
    if (!face) {
        // No face has them: the label's own draws its missing-glyph box.
        fallback_.assign(text.size(), false);
        return;
    }
    form::FontSpec other = *font_;
    other.face = *face;
    other.charset = DEFAULT_CHARSET;
    fallbackMeasuring_ = &fonts_->font(other, kLayoutDpi);
    fallbackDrawn_ = &fonts_->font(other, dpi_);
}

std::size_t LabelLayout::runEnd(std::size_t from, std::size_t to) const
{
    std::size_t end = from;
    while (end < to && fallback_[end] == fallback_[from])
        ++end;
    return end;
}

void LabelLayout::setCaption(std::u16string_view caption)
{
    caption_ = caption;
    shown_ = form::ShownCaption::fromCaption(caption);
    const std::u16string &text = shown_.text;
    chooseFallback();
    // Measured run by run, each in the face it is drawn with, so that the
    // lines break where the drawn text ends.
    advances_.assign(text.size() + 1, 0);
    if (!text.empty()) {
        const UniqueMemoryDc dc(created(CreateCompatibleDC(nullptr), "measuring context"));
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = runEnd(start, text.size());
            const Selection selected(
                dc.get(), (fallback_[start] ? fallbackMeasuring_ : measuring_)->font.get());
            SIZE whole{};
            GetTextExtentExPointW(dc.get(), wide(text) + start, static_cast<int>(end - start), 0,
                                  nullptr, advances_.data() + start + 1, &whole);
            for (std::size_t i = start + 1; i <= end; ++i)
                advances_[i] += advances_[start];
            start = end;
        }
    }
    // Laid out in twips, so that the one rounding rule takes every position
    // to the dpi's pixels.
    const TEXTMETRICW &metrics = measuring_->metrics;
    laid_ = form::layCaption(
        shown_, alignment_, box_.width,
        {[this](std::size_t from, std::size_t to) {
             return double((advances_[to] - advances_[from]) * form::kTwipsPerPixel);
         },
         double((metrics.tmHeight + metrics.tmExternalLeading) * form::kTwipsPerPixel),
         double((metrics.tmAscent + 1) * form::kTwipsPerPixel)});
    lines_.clear();
    for (const form::PlacedLine &line : laid_.lines)
        lines_.push_back(line.range);
}

// Whole twips, cut as the table's own integer arithmetic cuts them.
int LabelLayout::x(const form::PlacedLine &line, std::size_t index) const
{
    return form::pixelsFromTwips(static_cast<int>(line.x) +
                                     (advances_[index] - advances_[line.range.start]) *
                                         form::kTwipsPerPixel,
                                 dpi_);
}

int LabelLayout::x(const form::CaptionLine &line, std::size_t index) const
{
    return x(*std::ranges::find(laid_.lines, line, &form::PlacedLine::range), index);
}

int LabelLayout::lineTop(std::size_t line) const
{
    return form::pixelsFromTwips(static_cast<int>(laid_.lines[line].y), dpi_);
}

// A line takes its share of the scaled pitch, or its font's cell where that
// is taller.
int LabelLayout::lineBottom(std::size_t line) const
{
    const form::PlacedLine &placed = laid_.lines[line];
    return std::max(form::pixelsFromTwips(static_cast<int>(placed.y + placed.height), dpi_),
                    lineTop(line) + static_cast<int>(drawn_->metrics.tmHeight));
}

RECT LabelLayout::lineBox(std::size_t line) const
{
    const form::CaptionLine &laid = lines_.at(line);
    return {x(laid, laid.start), lineTop(line), x(laid, laid.inkEnd()), lineBottom(line)};
}

void LabelLayout::draw(HDC dc, const RECT &area, HBRUSH band, COLORREF ink) const
{
    FillRect(dc, &area, band);
    const Selection selected(dc, drawn_->font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    std::vector<INT> steps;
    for (std::size_t i = 0; i < laid_.lines.size(); ++i) {
        const form::PlacedLine &line = laid_.lines[i];
        // Each run in its own face, every character where the layout put it.
        for (std::size_t start = line.range.start; start < line.range.inkEnd();) {
            const std::size_t end = runEnd(start, line.range.inkEnd());
            steps.clear();
            for (std::size_t k = start; k < end; ++k)
                steps.push_back(x(line, k + 1) - x(line, k));
            SelectObject(dc, (fallback_[start] ? fallbackDrawn_ : drawn_)->font.get());
            ExtTextOutW(dc, area.left + x(line, start), area.top + lineTop(i), ETO_CLIPPED, &area,
                        wide(shown_.text) + start, static_cast<UINT>(end - start), steps.data());
            start = end;
        }
    }

    // The access key's underline, drawn by hand (the "&" is never shown), at
    // the drawn font's own ascent.
    if (const std::optional<form::Underline> &key = laid_.underline) {
        const form::PlacedLine &line = laid_.lines[key->line];
        const int thickness = std::max(1, form::pixelsFromTwips(form::kTwipsPerPixel, dpi_));
        const int y = area.top + lineTop(key->line) + drawn_->metrics.tmAscent + 1;
        const RECT underline{area.left + x(line, key->index), y,
                             area.left + x(line, key->index + 1),
                             std::min<LONG>(y + thickness, area.bottom)};
        SetDCBrushColor(dc, ink);
        FillRect(dc, &underline, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
}
