#pragma once

#include "Accessibility.h"
#include "DecimalSeparator.h"
#include "SeriesSum.h"
#include "WindowModel.h"
#include "WindowTable.h"

#include <QWidget>
#include <exception>
#include <functional>

// The program's one window over Qt Widgets, a view of the window model: one
// widget for each row of the table, drawn here, with the user's clicks and
// keys passed on to the model, which decides what they do.
class Form1 : public QWidget, private form::WindowView
{
    Q_OBJECT

public:
    // Where the window reads the decimal separators the system offers.
    using SeparatorQuery = std::function<form::DecimalSeparators()>;

    // `calculation` is what Calculate runs.
    explicit Form1(calc::Calculation calculation = calc::sumSeries,
                   SeparatorQuery separators = userDecimalSeparators, QWidget *parent = nullptr);

    using QWidget::close;
    using QWidget::setFocus;

    // A control by its name in the layout table, or nullptr.
    QWidget *control(const char *name) const;
    // The control the program uses for `role`.
    QWidget *control(form::Role role) const;

    // Reports a failure of the window's code as the model has it: once a run.
    void reportError(const std::exception_ptr &error);

protected:
    void changeEvent(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();

    void showCaption(const form::ControlSpec &row, std::u16string_view caption) override;
    void setInk(const form::ControlSpec &row, form::Rgb ink) override;
    void setFocus(form::Role role, form::FocusReason reason) override;
    form::Role focused() const override;
    void announce(std::u16string_view text) override;
    void showErrorBox(std::u16string_view message) override;
    void close(int status) override;
    form::DecimalSeparators decimalSeparators() const override;

    SeparatorQuery separators_;
    form::WindowModel model_;
    // Tells screen readers each new answer, wherever the focus is.
    AccessibleNotice *answerNotice_ = nullptr;
    // The answer's text as last told to assistive technology.
    QString spokenAnswer_;
    ActivationReplay activationReplay_{this};
};
