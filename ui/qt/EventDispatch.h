#pragma once

#include <QApplication>
#include <exception>
#include <functional>
#include <string_view>

class QWidget;

// Reports an exception that left the window's code, as the window's model
// has it: one modal message box naming it, then the event loop ends with the
// reported-error status. Only the first report for a window is shown.
void reportError(QWidget *window, const std::exception_ptr &error) noexcept;

// The error box: `message` in a modal box over `owner`, until the user
// closes it. Where not even that can be shown, the program ends at once.
void showModalErrorBox(QWidget *owner, std::u16string_view message) noexcept;

// Runs one event handler of the window. Whatever it throws stops here, so it
// never unwinds through Qt, and is reported.
void dispatchEvent(QWidget *window, const std::function<void()> &handler) noexcept;

// Reports `error` as soon as the event loop is back, for code that cannot
// open a modal box where it stands (painting, event delivery).
void reportErrorLater(QWidget *window, std::exception_ptr error) noexcept;

// Runs code on the paint path of `widget`: whatever it throws is caught
// there and reported later.
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
