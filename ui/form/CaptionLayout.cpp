#include "CaptionLayout.h"

namespace form {

ShownCaption ShownCaption::fromCaption(std::u16string_view caption)
{
    ShownCaption shown;
    shown.text.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != u'&' && !shown.underlined)
                shown.underlined = shown.text.size();
        }
        shown.text += caption[i];
    }
    return shown;
}

std::optional<char16_t> accessKey(std::u16string_view caption)
{
    const ShownCaption shown = ShownCaption::fromCaption(caption);
    if (!shown.underlined)
        return std::nullopt;
    return shown.text[*shown.underlined];
}

std::vector<CaptionLine> breakLines(std::u16string_view text, const MeasureText &measure,
                                    double width)
{
    std::vector<CaptionLine> lines;
    std::size_t lineStart = 0;
    std::size_t inkEnd = 0; // end of the current line's last word
    const auto fits = [&](std::size_t end) { return measure(lineStart, end) <= width; };
    const auto breakAt = [&](std::size_t end) {
        lines.push_back({lineStart, end - lineStart, inkEnd - lineStart});
        lineStart = inkEnd = end;
    };

    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == u' ') {
            ++pos; // kept, and hangs if it reaches past the end
            continue;
        }
        std::size_t wordEnd = pos;
        while (wordEnd < text.size() && text[wordEnd] != u' ')
            ++wordEnd;
        if (fits(wordEnd)) {
            pos = inkEnd = wordEnd;
        } else if (inkEnd > lineStart || (pos > lineStart && measure(pos, wordEnd) <= width)) {
            // The word starts the next line; the spaces before it hang.
            breakAt(pos);
        } else {
            // Wider than a line: as many characters as fit, at least one.
            std::size_t end = pos + 1;
            while (end < wordEnd && fits(end + 1))
                ++end;
            inkEnd = end;
            breakAt(end);
            pos = end;
        }
    }
    if (lineStart < text.size())
        breakAt(text.size());
    return lines;
}

LaidCaption layCaption(const ShownCaption &shown, Alignment alignment, double width,
                       const CaptionFont &font)
{
    LaidCaption laid;
    for (const CaptionLine &line : breakLines(shown.text, font.measure, width)) {
        const double ink = font.measure(line.start, line.inkEnd());
        laid.lines.push_back({line, lineOffset(alignment, width, ink),
                              double(laid.lines.size()) * font.lineHeight, ink, font.lineHeight});
    }
    // Only a key that is drawn is underlined: not one among hanging spaces.
    for (std::size_t i = 0; shown.underlined && i < laid.lines.size(); ++i) {
        const PlacedLine &line = laid.lines[i];
        const std::size_t key = *shown.underlined;
        if (key >= line.range.start && key < line.range.inkEnd())
            laid.underline = Underline{i, key, line.x + font.measure(line.range.start, key),
                                       font.measure(key, key + 1), line.y + font.underlineDrop};
    }
    return laid;
}

} // namespace form
