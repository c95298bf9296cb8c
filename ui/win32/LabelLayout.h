#pragma once

#include "CaptionLayout.h"
#include "Fonts.h"
#include "WindowTable.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

// A label's caption laid out once against the window's 96-dpi layout and
// drawn at any dpi: the lines break where they break at 96 dpi, and every
// character stands where its 96-dpi advance, scaled, puts it, so a larger
// scale can never move a word onto another line.
class LabelLayout
{
public:
    // `row` is a label of the table; `fonts` must outlive the layout.
    LabelLayout(const form::ControlSpec &row, int dpi, FontCache &fonts);

    // The caption as the label's window text holds it, "&" markers and all.
    const std::u16string &caption() const noexcept { return caption_; }
    void setCaption(std::u16string_view caption);

    std::span<const form::CaptionLine> lines() const noexcept { return lines_; }
    // The caption as laid out, in twips from the label's top left.
    const form::LaidCaption &laid() const noexcept { return laid_; }
    // At the layout's dpi, in the label: the box of a line's text without its
    // hanging spaces, and where character `index` of `line` starts.
    RECT lineBox(std::size_t line) const;
    int x(const form::CaptionLine &line, std::size_t index) const;

    // Paints `area`: the band, then the text in `ink`, the access key underlined.
    void draw(HDC dc, const RECT &area, HBRUSH band, COLORREF ink) const;

private:
    int x(const form::PlacedLine &line, std::size_t index) const;
    int lineTop(std::size_t line) const;
    int lineBottom(std::size_t line) const;

    // The characters the label's face lacks, and a face to draw them with.
    void chooseFallback();
    // Where the shown text changes between the label's face and the fallback.
    std::size_t runEnd(std::size_t from, std::size_t to) const;

    int dpi_;
    form::TwipsRect box_;
    form::Alignment alignment_;
    FontCache *fonts_;
    const form::FontSpec *font_;
    const MeasuredFont *measuring_; // the label's font at 96 dpi
    const MeasuredFont *drawn_;     // and at `dpi_`
    // The fallback face's font at 96 dpi and at `dpi_`, where one is needed.
    const MeasuredFont *fallbackMeasuring_ = nullptr;
    const MeasuredFont *fallbackDrawn_ = nullptr;
    std::u16string caption_;
    form::ShownCaption shown_;
    // Whether each character of the shown text is drawn with the fallback.
    std::vector<bool> fallback_;
    // The 96-dpi advance of the shown text up to each character, and to its end.
    std::vector<int> advances_;
    form::LaidCaption laid_;
    std::vector<form::CaptionLine> lines_; // each of laid_.lines' range
};
