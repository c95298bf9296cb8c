#include "CaptionLayout.h"

MnemonicText MnemonicText::fromCaption(const QString &caption)
{
    MnemonicText result;
    result.text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != QLatin1Char('&') && result.underlined < 0)
                result.underlined = result.text.size();
        }
        result.text += caption[i];
    }
    return result;
}

QList<CaptionLine> layoutCaption(const QString &text, const QFontMetricsF &metrics, qreal width)
{
    QList<CaptionLine> lines;
    const qsizetype size = text.size();
    qsizetype lineStart = 0;
    const auto fits = [&](qsizetype end) {
        return metrics.horizontalAdvance(text.mid(lineStart, end - lineStart)) <= width;
    };
    const auto breakAt = [&](qsizetype end) {
        lines.append({lineStart, end - lineStart});
        lineStart = end;
    };

    qsizetype pos = 0;
    while (pos < size) {
        if (text[pos] == QLatin1Char(' ')) {
            if (pos == lineStart || fits(pos + 1))
                ++pos;
            else
                breakAt(pos);
            continue;
        }
        qsizetype wordEnd = pos;
        while (wordEnd < size && text[wordEnd] != QLatin1Char(' '))
            ++wordEnd;
        if (fits(wordEnd)) {
            pos = wordEnd;
        } else if (pos > lineStart) {
            breakAt(pos);
        } else {
            // Wider than a line: take as many characters as fit, at least one.
            qsizetype end = pos + 1;
            while (end < wordEnd && fits(end + 1))
                ++end;
            breakAt(end);
            pos = end;
        }
    }
    if (lineStart < size)
        breakAt(size);
    return lines;
}
