#include "Fonts.h"

#include <string>

namespace {

// Windows' scalable sans serif with MS Sans Serif's widths.
constexpr wchar_t kScalableFace[] = L"Microsoft Sans Serif";

UniqueFont makeFont(const form::FontSpec &wanted, int em, const wchar_t *face, DWORD precision)
{
    return UniqueFont(
        created(CreateFontW(-em, 0, 0, 0, wanted.weight, wanted.italic, wanted.underline,
                            wanted.strikeOut, static_cast<DWORD>(wanted.charset), precision,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face),
                "font"));
}

} // namespace

MeasuredFont createFont(const form::FontSpec &wanted, int dpi)
{
    const int em = form::emPixels(wanted, dpi);
    const std::wstring face(wanted.face.begin(), wanted.face.end());
    MeasuredFont made{makeFont(wanted, em, face.c_str(), OUT_DEFAULT_PRECIS)};
    made.metrics = textMetrics(made.font.get());
    const bool scalable = made.metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE);
    if (!scalable && made.metrics.tmHeight - made.metrics.tmInternalLeading != em) {
        made.font = makeFont(wanted, em, kScalableFace, OUT_TT_ONLY_PRECIS);
        made.metrics = textMetrics(made.font.get());
    }
    return made;
}

TEXTMETRICW textMetrics(HFONT font)
{
    const UniqueMemoryDc dc(created(CreateCompatibleDC(nullptr), "measuring context"));
    const Selection selected(dc.get(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    return metrics;
}

const MeasuredFont &FontCache::font(const form::FontSpec &wanted, int dpi)
{
    for (const Entry &entry : entries_) {
        if (entry.dpi == dpi && entry.wanted == wanted)
            return entry.made;
    }
    return entries_.emplace_back(Entry{wanted, dpi, createFont(wanted, dpi)}).made;
}
