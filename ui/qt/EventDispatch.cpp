#include "EventDispatch.h"

#include "ErrorReport.h"
#include "Form1.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <cstdlib>

namespace {

// The window a report for `widget` belongs to: its own, else the program's.
Form1 *windowOf(QWidget *widget)
{
    if (auto *form = qobject_cast<Form1 *>(widget ? widget->window() : nullptr))
        return form;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<Form1 *>(top))
            return form;
    }
    return nullptr;
}

} // namespace

void showModalErrorBox(QWidget *owner, std::u16string_view message) noexcept
{
    try {
        QMessageBox box(QMessageBox::Critical, owner ? owner->windowTitle() : QString(),
                        QStringView(message).toString(), QMessageBox::NoButton, owner);
        box.addButton(QStringView(form::kErrorBoxButton).toString(), QMessageBox::AcceptRole);
        box.exec();
    } catch (...) {
        // Not even the message box could be shown.
        std::_Exit(form::kExitStatusReportedError);
    }
}

void reportError(QWidget *window, const std::exception_ptr &error) noexcept
{
    try {
        if (Form1 *form = windowOf(window)) {
            form->reportError(error);
            return;
        }
        QCoreApplication::exit(form::reportWithoutWindow(
            error, [](std::u16string_view message) { showModalErrorBox(nullptr, message); }));
    } catch (...) {
        std::_Exit(form::kExitStatusReportedError);
    }
}

void reportErrorLater(QWidget *window, std::exception_ptr error) noexcept
{
    try {
        // Queued on the window itself, so that Qt drops the report along with
        // the window if it is gone by then: no box opens over nothing.
        QWidget *top = window ? window->window() : nullptr;
        QObject *context = top ? static_cast<QObject *>(top) : qApp;
        QMetaObject::invokeMethod(
            context, [top, error] { reportError(top, error); }, Qt::QueuedConnection);
    } catch (...) {
        std::_Exit(form::kExitStatusReportedError);
    }
}

void dispatchEvent(QWidget *window, const std::function<void()> &handler) noexcept
{
    try {
        handler();
    } catch (...) {
        reportError(window, std::current_exception());
    }
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportErrorLater(qobject_cast<QWidget *>(receiver), std::current_exception());
        return false;
    }
}
