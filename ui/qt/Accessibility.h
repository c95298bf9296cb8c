#pragma once

// What assistive technology is shown of the window, where Qt's defaults fall
// short: the window is a dialog whose children come in reading order (task,
// formula, each instruction before its button, the answer after Calculate)
// with the frame lines left out as decoration; caption labels are named and
// read by their text as shown (no "&" marker), each run of spaces one space;
// each instruction is related to its button and the answer to Calculate, so
// that a reader presenting the dialog reads the task statement alone.
// Installing it more than once is harmless.

#include <QObject>
#include <QString>

class QWidget;

void installAccessibility();

// A notice for assistive technology, drawn nowhere. Each announce() shows it
// anew with its text: screen readers present a notification as it appears,
// wherever the focus is, where they leave a label's change unsaid.
class AccessibleNotice : public QObject
{
    Q_OBJECT

public:
    explicit AccessibleNotice(QWidget *window);

    void announce(const QString &text);

    const QString &text() const noexcept { return text_; }
    bool isShown() const noexcept { return shown_; }

signals:
    // After each announce(), once assistive technology has been told.
    void appeared(const QString &text);

private:
    QString text_;
    bool shown_ = false;
};
