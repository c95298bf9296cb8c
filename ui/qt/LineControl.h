#pragma once

#include <QLine>
#include <QWidget>

// A straight one-pixel line between two points of the parent, both drawn. The
// widget covers just the line's bounding box, so what lies behind it stays
// visible.
class LineControl : public QWidget
{
    Q_OBJECT

public:
    LineControl(QLine ends, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintLine();

    QLine ends_;
};
