#pragma once

#include <QList>
#include <QTextLayout>
#include <memory>

// A text set on one line in one font, shaped once: measuring any range costs
// a subtraction, and any range is drawn from that same shaping.
class TextAdvances
{
public:
    TextAdvances(const QString &text, const QFont &font);

    // The width of the characters [from, to).
    qreal width(qsizetype from, qsizetype to) const { return x_.at(to) - x_.at(from); }

    // Draws the characters [from, to) with their top left corner at `topLeft`.
    void draw(QPainter &painter, qsizetype from, qsizetype to, QPointF topLeft) const;

private:
    std::unique_ptr<QTextLayout> layout_;
    QList<qreal> x_; // x_[i]: start of character i; x_[size]: end of the text
};
