#include "LineControl.h"

#include "EventDispatch.h"

#include <QPainter>

LineControl::LineControl(QLine ends, QWidget *parent) : QWidget(parent), ends_(ends)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(QRect(ends.p1(), ends.p2()).normalized());
}

void LineControl::paintEvent(QPaintEvent *)
{
    paintGuarded(this, [this] { paintLine(); });
}

void LineControl::paintLine()
{
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
}
