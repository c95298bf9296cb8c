#include "Fonts.h"

#include <algorithm>
#include <cwchar>

namespace {

// Windows' scalable sans serif with MS Sans Serif's widths.
constexpr wchar_t kScalableFace[] = L"Microsoft Sans Serif";

UniqueFont makeFont(const form::FontSpec &wanted, int em, const wchar_t *face, DWORD precision,
                    DWORD charset)
{
    return UniqueFont(
        created(CreateFontW(-em, 0, 0, 0, wanted.weight, wanted.italic, wanted.underline,
                            wanted.strikeOut, charset, precision, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face),
                "font"));
}

} // namespace

MeasuredFont createFont(const form::FontSpec &wanted, int dpi)
{
    const int em = form::emPixels(wanted, dpi);
    const std::wstring face(wanted.face.begin(), wanted.face.end());
    const auto charset = static_cast<DWORD>(wanted.charset);
    MeasuredFont made{makeFont(wanted, em, face.c_str(), OUT_DEFAULT_PRECIS, charset)};
    made.metrics = textMetrics(made.font.get());
    const bool scalable = made.metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE);
    if (!scalable && made.metrics.tmHeight - made.metrics.tmInternalLeading != em) {
        made.font = makeFont(wanted, em, kScalableFace, OUT_TT_ONLY_PRECIS, charset);
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

std::vector<bool> missingCharacters(HDC dc, std::u16string_view text)
{
    std::vector<WORD> glyphs(text.size());
    std::vector<bool> missing(text.size(), false);
    if (text.empty() || GetGlyphIndicesW(dc, reinterpret_cast<const wchar_t *>(text.data()),
                                         static_cast<int>(text.size()), glyphs.data(),
                                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return missing;
    for (std::size_t i = 0; i < text.size(); ++i)
        missing[i] = glyphs[i] == 0xFFFF;
    return missing;
}

namespace {

bool hasAll(const form::FontSpec &wanted, const wchar_t *face, std::u16string_view text)
{
    const UniqueFont font(
        makeFont(wanted, form::emPixels(wanted, 96), face, OUT_TT_ONLY_PRECIS, DEFAULT_CHARSET));
    const UniqueMemoryDc dc(created(CreateCompatibleDC(nullptr), "measuring context"));
    const Selection selected(dc.get(), font.get());
    return std::ranges::none_of(missingCharacters(dc.get(), text),
                                [](bool missing) { return missing; });
}

// The search over the installed faces: the first by name that has them all,
// so that every run on one system picks the same.
struct FaceSearch
{
    const form::FontSpec *wanted;
    std::u16string_view text;
    std::wstring found;
};

int CALLBACK considerFace(const LOGFONTW *font, const TEXTMETRICW *, DWORD type, LPARAM search)
{
    auto &[wanted, text, found] = *reinterpret_cast<FaceSearch *>(search);
    const wchar_t *face = font->lfFaceName;
    // Vertical faces ("@...") draw sideways.
    if ((type & TRUETYPE_FONTTYPE) && face[0] != L'@' &&
        (found.empty() || std::wcscmp(face, found.c_str()) < 0) && hasAll(*wanted, face, text))
        found = face;
    return 1;
}

} // namespace

std::optional<std::u16string> faceWithCharacters(const form::FontSpec &wanted,
                                                 std::u16string_view text)
{
    const auto u16 = [](std::wstring_view face) {
        return std::u16string(face.begin(), face.end());
    };
    if (hasAll(wanted, kScalableFace, text))
        return u16(kScalableFace);
    FaceSearch search{&wanted, text, {}};
    LOGFONTW every{};
    every.lfCharSet = DEFAULT_CHARSET;
    const UniqueMemoryDc dc(created(CreateCompatibleDC(nullptr), "measuring context"));
    EnumFontFamiliesExW(dc.get(), &every, considerFace, reinterpret_cast<LPARAM>(&search), 0);
    if (search.found.empty())
        return std::nullopt;
    return u16(search.found);
}

const MeasuredFont &FontCache::font(const form::FontSpec &wanted, int dpi)
{
    for (const Entry &entry : entries_) {
        if (entry.dpi == dpi && entry.wanted == wanted)
            return entry.made;
    }
    return entries_.emplace_back(Entry{wanted, dpi, createFont(wanted, dpi)}).made;
}
