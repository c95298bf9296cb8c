#pragma once

#include <QApplication>
#include <exception>
#include <functional>
#include <string_view>

class QWidget;

// Reports an exception that left the window's code, through the window's
// model (one box, then the reported-error status).
void reportError(QWidget *window, const std::exception_ptr &error) noexcept;

// The error box: `message` in a modal box over `owner`, until the user
// closes it. Where not even that can be shown, the program ends at once.
void showModalErrorBox(QWidget *owner, std::u16string_view message) noexcept;

// Runs one event handler of the window: whatever it throws is reported here,
// and never unwinds through Qt.
void dispatchEvent(QWidget *window, const std::function<void()> &handler) noexcept;

// Reports `error` as soon as the event loop is back, for code that cannot
// open a modal box where it stands (painting, event delivery).
void reportErrorLater(QWidget *window, std::exception_ptr error) noexcept;

// Runs code on the paint path of `widget`, reporting what it throws later.
template <typename Body> void paintGuarded(QWidget *widget, Body &&body) noexcept
{
    try {
        body();
    } catch (...) {
        reportErrorLater(widget, std::current_exception());
    }
}

// The program's application object: the last line of defence for whatever
// else throws while an event is delivered (layout, resizing, accessibility).
class Application : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};
