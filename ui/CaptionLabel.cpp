#include "CaptionLabel.h"

#include <QPainter>

CaptionLabel::CaptionLabel(const QString &caption, QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(caption);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

CaptionLabel::Layout CaptionLabel::captionLayout() const
{
    Layout layout{MnemonicText::fromCaption(text()), {}};
    layout.lines = layoutCaption(layout.shown.text, QFontMetricsF(font()), width());
    return layout;
}

QRectF CaptionLabel::lineRect(const Layout &layout, qsizetype index) const
{
    const QFontMetricsF metrics(font());
    const CaptionLine &line = layout.lines.at(index);
    const qreal lineWidth =
        metrics.horizontalAdvance(layout.shown.text.mid(line.start, line.length));
    qreal left = 0;
    if (alignment() & Qt::AlignHCenter)
        left = (width() - lineWidth) / 2;
    else if (alignment() & Qt::AlignRight)
        left = width() - lineWidth;
    return {left, index * metrics.height(), lineWidth, metrics.height()};
}

void CaptionLabel::paintEvent(QPaintEvent *)
{
    // The background is already filled (autoFillBackground).
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetricsF metrics(font());
    const Layout layout = captionLayout();
    for (qsizetype i = 0; i < layout.lines.size(); ++i) {
        const CaptionLine &line = layout.lines.at(i);
        const QString text = layout.shown.text.mid(line.start, line.length);
        const QRectF rect = lineRect(layout, i);
        const qreal baseline = rect.top() + metrics.ascent();
        painter.drawText(QPointF(rect.left(), baseline), text);

        const qsizetype key = layout.shown.underlined - line.start;
        if (key >= 0 && key < line.length) {
            const qreal x = rect.left() + metrics.horizontalAdvance(text.left(key));
            const qreal keyWidth = metrics.horizontalAdvance(text.mid(key, 1));
            painter.fillRect(QRectF(x, baseline + metrics.underlinePos(), keyWidth,
                                    qMax<qreal>(1.0, metrics.lineWidth())),
                             painter.pen().color());
        }
    }
}
