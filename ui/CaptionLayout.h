#pragma once

#include <QFont>
#include <QList>
#include <QString>

// A caption with its access key marker taken out: "&x" shows "x" underlined,
// "&&" shows one "&".
struct MnemonicText
{
    QString text;
    qsizetype underlined = -1; // index in `text`, or -1

    static MnemonicText fromCaption(const QString &caption);
};

// Where each character of a text starts when the whole text is set on one
// line in one font: shaped once, so measuring any range costs a subtraction.
class TextAdvances
{
public:
    TextAdvances(const QString &text, const QFont &font);

    // The width of the characters [from, to).
    qreal width(qsizetype from, qsizetype to) const { return x_.at(to) - x_.at(from); }

private:
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
