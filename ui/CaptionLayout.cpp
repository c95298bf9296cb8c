#include "CaptionLayout.h"

#include <QTextLayout>

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

TextAdvances::TextAdvances(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setNumColumns(static_cast<int>(text.size()));
    layout.endLayout();
    x_.reserve(text.size() + 1);
    for (qsizetype i = 0; i <= text.size(); ++i)
        x_.append(line.isValid() ? line.cursorToX(static_cast<int>(i)) : 0.0);
}

QList<CaptionLine> layoutCaption(const QString &text, const TextAdvances &advances, qreal width)
{
    QList<CaptionLine> lines;
    const qsizetype size = text.size();
    qsizetype lineStart = 0;
    const auto fits = [&](qsizetype end) { return advances.width(lineStart, end) <= width; };
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
