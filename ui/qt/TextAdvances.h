#pragma once

#include <QList>
#include <QTextLayout>
#include <memory>

// A text set on one line in one font, shaped once: any range is measured and
// drawn from that same shaping.
class TextAdvances
{
public:
    TextAdvances(const QString &text, const QFont &font);

    // The width of the characters [from, to).
    qreal width(qsizetype from, qsizetype to) const { return x(to) - x(from); }

    // Draws the characters [from, to) with their top left corner at `topLeft`.
    void draw(QPainter &painter, qsizetype from, qsizetype to, QPointF topLeft) const;

    // The font's heights, as the face that draws the text's first character
    // has them: the font's own face, which the shaping has loaded already.
    struct Heights
    {
        qreal ascent;
        qreal descent;
        qreal underlinePos; // below the baseline
        qreal lineWidth;    // of an underline
    };
    Heights heights() const;

private:
    // The start of character `index` (the end of the text for its size).
    qreal x(qsizetype index) const;

    std::unique_ptr<QTextLayout> layout_;
    // x_[i]: x(i) once asked for, else NaN. Each one costs a walk along the
    // line, so only those asked for (word and line ends) are found.
    mutable QList<qreal> x_;
};
