#include "PictureLabel.h"

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
