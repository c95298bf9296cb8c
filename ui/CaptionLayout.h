#pragma once

#include <QFontMetricsF>
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
QList<CaptionLine> layoutCaption(const QString &text, const QFontMetricsF &metrics, qreal width);
