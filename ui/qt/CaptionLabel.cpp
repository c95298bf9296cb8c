#include "CaptionLabel.h"

#include "EventDispatch.h"

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
        const form::ShownCaption shown = form::ShownCaption::fromCaption(text().toStdU16String());
        const QString shownText = QString::fromStdU16String(shown.text);
        TextAdvances advances(shownText, font());
        const TextAdvances::Heights heights = advances.heights();
        form::LaidCaption laid = form::layCaption(
            shown, alignment_, width(),
            {[&advances](std::size_t from, std::size_t to) {
                 return advances.width(static_cast<qsizetype>(from), static_cast<qsizetype>(to));
             },
             heights.ascent + heights.descent, heights.ascent + heights.underlinePos});
        std::vector<form::CaptionLine> lines;
        for (const form::PlacedLine &line : laid.lines)
            lines.push_back(line.range);
        cache_.emplace(Cache{text(), font(), width(),
                             Layout{shownText, std::move(advances), std::move(laid),
                                    std::move(lines), qMax<qreal>(1.0, heights.lineWidth)}});
    }
    return cache_->layout;
}

QRectF CaptionLabel::lineRect(qsizetype index) const
{
    const Layout &layout = captionLayout();
    const form::PlacedLine &line = layout.laid.lines.at(static_cast<std::size_t>(index));
    return {line.x, line.y, line.width, line.height};
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
    const Layout &layout = captionLayout();
    // Only the ink: the hanging spaces would draw nothing anyway.
    for (const form::PlacedLine &line : layout.laid.lines)
        layout.advances.draw(painter, qsizetype(line.range.start), qsizetype(line.range.inkEnd()),
                             {line.x, line.y});
    if (const std::optional<form::Underline> &key = layout.laid.underline) {
        painter.fillRect(QRectF(key->x, key->y, key->width, layout.underlineThickness), ink);
    }
}
