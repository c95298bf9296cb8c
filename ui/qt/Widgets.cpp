#include "Widgets.h"

#include "EventDispatch.h"

#include <QPainter>
#include <QPixmap>

PictureLabel::PictureLabel(const QImage &picture, QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setPixmap(QPixmap::fromImage(picture));
}

void PictureLabel::paintEvent(QPaintEvent *)
{
    paintGuarded(this, [this] {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        const QPixmap picture = pixmap();
        painter.drawPixmap(QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()), picture);
    });
}

LineControl::LineControl(QLine ends, QWidget *parent) : QWidget(parent), ends_(ends)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(QRect(ends.p1(), ends.p2()).normalized());
}

void LineControl::paintEvent(QPaintEvent *)
{
    paintGuarded(this, [this] {
        QPainter painter(this);
        const QColor colour = palette().color(QPalette::WindowText);
        const QLine local = ends_.translated(-pos());
        if (local.dx() == 0 || local.dy() == 0) {
            // Whole logical pixels, so the line scales with the device pixel ratio.
            painter.fillRect(QRect(local.p1(), local.p2()).normalized(), colour);
        } else {
            painter.setPen(QPen(colour, 1));
            painter.drawLine(local);
        }
    });
}
