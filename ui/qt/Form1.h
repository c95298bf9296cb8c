#pragma once

#include "Accessibility.h"
#include "LayoutTable.h"
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
    // `sumSeries` is what Calculate sums.
    explicit Form1(calc::SeriesSummation sumSeries = calc::sumSeries, QWidget *parent = nullptr);

    // The factorial of the exercise. Reads the caller's variable, never writes it.
    calc::Variant f(const std::int16_t &k) const;

    // A control by its name in the layout table, or nullptr.
    QWidget *control(const char *name) const;
    // The control the program uses for `role`.
    QWidget *control(form::Role role) const;

    QPushButton *command1() const { return command1_; }
    QPushButton *command2() const { return command2_; }
    QLabel *label4() const { return label4_; }

public slots:
    void Command1_Click();
    void Command2_Click();

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildControls();

    calc::SeriesSummation sumSeries_;
    QPushButton *command1_ = nullptr;
    QPushButton *command2_ = nullptr;
    QLabel *label4_ = nullptr;
    // Tells screen readers each new answer, wherever the focus is.
    AccessibleNotice *answerNotice_ = nullptr;
    ActivationReplay activationReplay_{this};
};
