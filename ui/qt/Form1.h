#pragma once

#include "SeriesSum.h"
#include "Variant.h"

#include <QWidget>
#include <cstdint>

class QLabel;
class QPushButton;

// The program's one window: the exercise, its two buttons and the answer,
// built from the layout table.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // `start` is where Calculate begins the series; only tests change it.
    explicit Form1(calc::SeriesState start = {}, QWidget *parent = nullptr);

    // The factorial of the exercise. Reads the caller's variable, never writes it.
    calc::Variant f(const std::int16_t &k) const;

    // A control by its layout name ("Command1", "Label4", ...), or nullptr.
    QWidget *control(const char *name) const;

    QPushButton *command1() const { return command1_; }
    QPushButton *command2() const { return command2_; }
    QLabel *label4() const { return label4_; }

public slots:
    void Command1_Click();
    void Command2_Click();

private:
    void buildControls();

    calc::SeriesState start_;
    QPushButton *command1_ = nullptr;
    QPushButton *command2_ = nullptr;
    QLabel *label4_ = nullptr;
};
