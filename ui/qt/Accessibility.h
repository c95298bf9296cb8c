#pragma once

// What assistive technology is shown of the window, where Qt's defaults fall
// short: the window is a dialog whose children come in reading order (task,
// formula, each instruction before its button, the answer after Calculate)
// with the frame lines left out as decoration; caption labels are named and
// read by their text as shown (no "&" marker), each run of spaces one space;
// each instruction is related to its button and the answer to Calculate, so
// that a reader presenting the dialog reads the task statement alone.
// Installing it more than once is harmless.

#include <QAccessible>
#include <QObject>
#include <QPointer>
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

// Assistive technology that connects while the window is already active
// (the toolkit reaches the accessibility bus only after the window manager
// may have activated the window) is told what it could not hear: that the
// window is active and where the focus is. Observes for its own lifetime.
class ActivationReplay : public QAccessible::ActivationObserver
{
public:
    explicit ActivationReplay(QWidget *window);
    ~ActivationReplay() override;
    ActivationReplay(const ActivationReplay &) = delete;
    ActivationReplay &operator=(const ActivationReplay &) = delete;

    void accessibilityActiveChanged(bool active) override;

private:
    QPointer<QWidget> window_;
};
