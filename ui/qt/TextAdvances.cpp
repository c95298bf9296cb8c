#include "TextAdvances.h"

#include <QGlyphRun>
#include <QPainter>

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
