#include "EventDispatch.h"

#include "ErrorReport.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <cstdlib>

namespace {

// Set on the window (or, without one, the application) that has reported
// an error: its run is over, so a paint that keeps failing or a report
// still queued adds no second box. Kept on the window rather than in the
// process, so that a later window starts afresh.
constexpr char kErrorReported[] = "vantrelErrorReported";

} // namespace

void reportError(QWidget *window, const std::exception_ptr &error) noexcept
{
    try {
        QWidget *top = window ? window->window() : nullptr;
        QObject *owner = top ? static_cast<QObject *>(top) : qApp;
        if (owner->property(kErrorReported).toBool())
            return;
        owner->setProperty(kErrorReported, true);
        QMessageBox box(
            QMessageBox::Critical, top ? top->windowTitle() : QString(),
            QString::fromUtf16(form::errorMessage(error).data(),
                               static_cast<qsizetype>(form::errorMessage(error).size())),
            QMessageBox::NoButton, top);
        box.addButton(QString::fromUtf16(form::kErrorBoxButton.data(),
                                         static_cast<qsizetype>(form::kErrorBoxButton.size())),
                      QMessageBox::AcceptRole);
        box.exec();
        QCoreApplication::exit(form::kExitStatusReportedError);
    } catch (...) {
        // Not even the message box could be shown.
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
