#pragma once

// What assistive technology is shown of the window: the window and each of
// its controls as form::AccessibleObject describes them, the window's
// children in the table's reading order, the frame lines left out; caption
// labels also readable as text. Installing it more than once is harmless.

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

// Assistive technology that connects while the window is already active (the
// toolkit reaches the bus only after the window manager may have activated
// it) is told what it missed: the window is active, and where the focus is.
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
