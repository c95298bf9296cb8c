#include "CaptionLabel.h"

#include "EventDispatch.h"

#include <QFontMetricsF>
#include <QPainter>

CaptionLabel::CaptionLabel(const QString &caption, form::Alignment alignment, QWidget *parent)
    : QLabel(parent), alignment_(alignment)
{
    setTextFormat(Qt::PlainText);
    setText(caption);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

const CaptionLabel::Layout &CaptionLabel::captionLayout() const
{
    if (!cache_ || cache_->caption != text() || cache_->font != font() ||
        cache_->width != width()) {
        form::ShownCaption shown = form::ShownCaption::fromCaption(text().toStdU16String());
        const QString shownText = QString::fromStdU16String(shown.text);
        TextAdvances advances(shownText, font());
        std::vector<form::CaptionLine> lines = form::breakLines(
            shown.text,
            [&advances](std::size_t from, std::size_t to) {
                return advances.width(static_cast<qsizetype>(from), static_cast<qsizetype>(to));
            },
            width());
        cache_.emplace(Cache{text(), font(), width(),
                             Layout{shownText, shown.underlined, std::move(advances),
                                    std::move(lines), QFontMetricsF(font()).height()}});
    }
    return cache_->layout;
}

QRectF CaptionLabel::lineRect(qsizetype index) const
{
    const Layout &layout = captionLayout();
    const form::CaptionLine &line = layout.lines.at(static_cast<std::size_t>(index));
    const auto start = static_cast<qsizetype>(line.start);
    const qreal lineWidth = layout.advances.width(start, start + qsizetype(line.inkLength));
    const qreal left = form::lineOffset(alignment_, qreal(width()), lineWidth);
    return {left, index * layout.lineHeight, lineWidth, layout.lineHeight};
}

QRectF CaptionLabel::glyphRect(qsizetype index, qsizetype column) const
{
    const Layout &layout = captionLayout();
    const auto start =
        static_cast<qsizetype>(layout.lines.at(static_cast<std::size_t>(index)).start);
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
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const form::CaptionLine &line = layout.lines[i];
        const QRectF rect = lineRect(qsizetype(i));
        // Only the ink: the hanging spaces would draw nothing anyway.
        layout.advances.draw(painter, qsizetype(line.start), qsizetype(line.inkEnd()),
                             rect.topLeft());

        const std::optional<std::size_t> key = layout.underlined;
        if (key && *key >= line.start && *key < line.inkEnd()) {
            const QRectF glyph = glyphRect(qsizetype(i), qsizetype(*key - line.start));
            const qreal baseline = rect.top() + metrics.ascent();
            painter.fillRect(QRectF(glyph.left(), baseline + metrics.underlinePos(), glyph.width(),
                                    qMax<qreal>(1.0, metrics.lineWidth())),
                             ink);
        }
    }
}
