#pragma once

#include <QLabel>

// An image control: shows its picture at its natural size in logical pixels,
// from the top left corner. On a screen with a device pixel ratio above 1
// every picture pixel becomes a sharp block, never a smoothed blur.
class PictureLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PictureLabel(const QImage &picture, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
