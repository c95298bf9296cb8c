#include "CaptionLayout.h"

#include <QGlyphRun>
#include <QPainter>
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
    : layout_(std::make_unique<QTextLayout>(text, font))
{
    layout_->setCacheEnabled(true); // keep the shaping for draw()
    layout_->beginLayout();
    QTextLine line = layout_->createLine();
    if (line.isValid()) {
        line.setNumColumns(static_cast<int>(text.size()));
        line.setPosition(QPointF(0, 0));
    }
    layout_->endLayout();
    x_.reserve(text.size() + 1);
    for (qsizetype i = 0; i <= text.size(); ++i)
        x_.append(line.isValid() ? line.cursorToX(static_cast<int>(i)) : 0.0);
}

TextAdvances::TextAdvances(TextAdvances &&) noexcept = default;
TextAdvances &TextAdvances::operator=(TextAdvances &&) noexcept = default;
TextAdvances::~TextAdvances() = default;

void TextAdvances::draw(QPainter &painter, qsizetype from, qsizetype to, QPointF topLeft) const
{
    if (to <= from || layout_->lineCount() == 0)
        return;
    // The glyphs stand where the whole line put them: shift them so that
    // character `from` starts at topLeft.
    const QPointF origin = topLeft - QPointF(x_.at(from), 0);
    const QTextLine line = layout_->lineAt(0);
    for (const QGlyphRun &run : line.glyphRuns(static_cast<int>(from), static_cast<int>(to - from)))
        painter.drawGlyphRun(origin, run);
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
