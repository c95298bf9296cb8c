#pragma once

#include <QLabel>
#include <QLine>
#include <QPushButton>

// The window's plain controls, each drawn as the platform it was written
// for draws it.

// An image control: its picture at its natural size in logical pixels, from
// the top left corner. Where the device pixel ratio is above 1, every
// picture pixel becomes a sharp block, never a smoothed blur.
class PictureLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PictureLabel(const QImage &picture, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A straight one-pixel line between two points of the parent, both drawn.
// The widget covers just the line's bounding box, so what lies behind it
// stays visible.
class LineControl : public QWidget
{
    Q_OBJECT

public:
    LineControl(QLine ends, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLine ends_;
};
