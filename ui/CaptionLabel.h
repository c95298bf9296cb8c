#pragma once

#include "CaptionLayout.h"

#include <QLabel>

// A static text label drawn the way the window's captions were written for:
// plain text on an opaque background, wrapped at spaces without losing any of
// them, and with the access key letter underlined instead of an "&" shown.
// The label takes no focus and has no buddy, so it registers no shortcut.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    explicit CaptionLabel(const QString &caption, QWidget *parent = nullptr);

    // The shown text and its lines at the label's current font and width.
    struct Layout
    {
        MnemonicText shown;
        QList<CaptionLine> lines;
    };
    Layout captionLayout() const;

    // Where line `index` of a layout is drawn, in label coordinates.
    QRectF lineRect(const Layout &layout, qsizetype index) const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
