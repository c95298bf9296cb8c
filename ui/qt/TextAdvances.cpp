#include "TextAdvances.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <cmath>
#include <limits>

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
    x_.fill(std::numeric_limits<qreal>::quiet_NaN(), text.size() + 1);
}

qreal TextAdvances::x(qsizetype index) const
{
    qreal &x = x_[index];
    if (std::isnan(x))
        x = layout_->lineCount() ? layout_->lineAt(0).cursorToX(static_cast<int>(index)) : 0.0;
    return x;
}

void TextAdvances::draw(QPainter &painter, qsizetype from, qsizetype to, QPointF topLeft) const
{
    if (to <= from || layout_->lineCount() == 0)
        return;
    // The glyphs stand where the whole line put them: shift them so that
    // character `from` starts at topLeft.
    const QPointF origin = topLeft - QPointF(x(from), 0);
    const QTextLine line = layout_->lineAt(0);
    for (const QGlyphRun &run : line.glyphRuns(static_cast<int>(from), static_cast<int>(to - from)))
        painter.drawGlyphRun(origin, run);
}

TextAdvances::Heights TextAdvances::heights() const
{
    // QFontMetricsF would ask the font system for the font again, for the
    // characters common to every script, a lookup that costs as much as
    // laying out the caption; the glyphs' own face answers at once.
    if (layout_->lineCount() != 0) {
        const QList<QGlyphRun> runs = layout_->lineAt(0).glyphRuns(0, 1);
        if (!runs.isEmpty()) {
            const QRawFont face = runs.first().rawFont();
            return {face.ascent(), face.descent(), face.underlinePosition(), face.lineThickness()};
        }
    }
    const QFontMetricsF metrics(layout_->font());
    return {metrics.ascent(), metrics.descent(), metrics.underlinePos(), metrics.lineWidth()};
}
