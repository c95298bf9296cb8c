#pragma once

#include "CaptionLayout.h"
#include "TextAdvances.h"
#include "WindowTable.h"

#include <QLabel>
#include <optional>

// A label drawn the way the window's captions were written for: plain text
// on an opaque band, wrapped at spaces without losing any, the access key
// underlined instead of an "&" shown. No focus and no buddy, so no shortcut.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    CaptionLabel(const QString &caption, form::Alignment alignment, QWidget *parent = nullptr);

    // The shown text laid out at the label's font and width, in its pixels.
    struct Layout
    {
        QString text; // the caption as shown, without its "&" markers
        TextAdvances advances;
        form::LaidCaption laid;
        std::vector<form::CaptionLine> lines; // each of laid.lines' range
        qreal underlineThickness;
    };
    // Kept until the caption, the font or the width changes.
    const Layout &captionLayout() const;

    // Where line `index` is drawn, in label coordinates, without the spaces
    // that hang past its end.
    QRectF lineRect(qsizetype index) const;
    // Where character `column` of line `index` is drawn, in label coordinates.
    QRectF glyphRect(qsizetype index, qsizetype column) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintCaption();

    struct Cache
    {
        QString caption;
        QFont font;
        int width;
        Layout layout;
    };

    form::Alignment alignment_;
    mutable std::optional<Cache> cache_;
};
