#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <memory>

class QPainter;
class QTextLayout;

// A caption with its access key marker taken out: "&x" shows "x" underlined,
// "&&" shows one "&".
struct MnemonicText
{
    QString text;
    qsizetype underlined = -1; // index in `text`, or -1

    static MnemonicText fromCaption(const QString &caption);
};

// A text set on one line in one font, shaped once: measuring any range costs
// a subtraction, and any range is drawn from that same shaping.
class TextAdvances
{
public:
    TextAdvances(const QString &text, const QFont &font);
    TextAdvances(TextAdvances &&) noexcept;
    TextAdvances &operator=(TextAdvances &&) noexcept;
    ~TextAdvances();

    // The width of the characters [from, to).
    qreal width(qsizetype from, qsizetype to) const { return x_.at(to) - x_.at(from); }

    // Draws the characters [from, to) with their top left corner at `topLeft`.
    void draw(QPainter &painter, qsizetype from, qsizetype to, QPointF topLeft) const;

private:
    std::unique_ptr<QTextLayout> layout_;
    QList<qreal> x_; // x_[i]: start of character i; x_[size]: end of the text
};

// One laid-out line: a range of the shown text.
struct CaptionLine
{
    qsizetype start;
    qsizetype length;

    friend bool operator==(const CaptionLine &, const CaptionLine &) = default;
};

// Breaks `text` into lines of at most `width`, keeping every space: a space
// takes room like any character, so a line breaks after the last space that
// still fits and the rest of a run of spaces starts the next line. A word that
// does not fit moves whole to the next line; only a word wider than a whole
// line is split.
QList<CaptionLine> layoutCaption(const QString &text, const TextAdvances &advances, qreal width);
