#include "CaptionLabel.h"

#include "EventDispatch.h"

#include <QFontMetricsF>
#include <QPainter>

struct CaptionLabel::Cache
{
    QString caption;
    QFont font;
    int width;
    Layout layout;
};

CaptionLabel::CaptionLabel(const QString &caption, QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(caption);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

CaptionLabel::~CaptionLabel() = default;

const CaptionLabel::Layout &CaptionLabel::captionLayout() const
{
    if (!cache_ || cache_->caption != text() || cache_->font != font() ||
        cache_->width != width()) {
        MnemonicText shown = MnemonicText::fromCaption(text());
        TextAdvances advances(shown.text, font());
        QList<CaptionLine> lines = layoutCaption(shown.text, advances, width());
        cache_ = std::make_unique<Cache>(
            Cache{text(), font(), width(),
                  Layout{std::move(shown), std::move(advances), std::move(lines),
                         QFontMetricsF(font()).height()}});
    }
    return cache_->layout;
}

QRectF CaptionLabel::lineRect(qsizetype index) const
{
    const Layout &layout = captionLayout();
    const CaptionLine &line = layout.lines.at(index);
    const qreal lineWidth = layout.advances.width(line.start, line.start + line.length);
    qreal left = 0;
    if (alignment() & Qt::AlignHCenter)
        left = (width() - lineWidth) / 2;
    else if (alignment() & Qt::AlignRight)
        left = width() - lineWidth;
    return {left, index * layout.lineHeight, lineWidth, layout.lineHeight};
}

QRectF CaptionLabel::glyphRect(qsizetype index, qsizetype column) const
{
    const Layout &layout = captionLayout();
    const qsizetype start = layout.lines.at(index).start;
    const QRectF line = lineRect(index);
    return {line.left() + layout.advances.width(start, start + column), line.top(),
            layout.advances.width(start + column, start + column + 1), line.height()};
}

void CaptionLabel::paintEvent(QPaintEvent *)
{
    paintGuarded(this, [this] { paintCaption(); });
}

void CaptionLabel::paintCaption()
{
    // The background is already filled (autoFillBackground).
    QPainter painter(this);
    const QColor ink = palette().color(QPalette::WindowText);
    painter.setPen(ink);
    const QFontMetricsF metrics(font());
    const Layout &layout = captionLayout();
    for (qsizetype i = 0; i < layout.lines.size(); ++i) {
        const CaptionLine &line = layout.lines.at(i);
        const QRectF rect = lineRect(i);
        layout.advances.draw(painter, line.start, line.start + line.length, rect.topLeft());

        const qsizetype key = layout.shown.underlined - line.start;
        if (key >= 0 && key < line.length) {
            const QRectF glyph = glyphRect(i, key);
            const qreal baseline = rect.top() + metrics.ascent();
            painter.fillRect(QRectF(glyph.left(), baseline + metrics.underlinePos(), glyph.width(),
                                    qMax<qreal>(1.0, metrics.lineWidth())),
                             ink);
        }
    }
}
