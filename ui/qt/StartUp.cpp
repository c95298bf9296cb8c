#include "StartUp.h"

#include "ErrorReport.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

struct HeldMessage
{
    QtMsgType type;
    QString text;
};

QList<HeldMessage> &heldMessages()
{
    static QList<HeldMessage> messages;
    return messages;
}

void holdBackMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fputs("vantrel1: there is no display to show the window on; "
                   "start it on a virtual screen with: xvfb-run -a vantrel1\n",
                   stderr);
        std::_Exit(form::kExitStatusNoDisplay);
    }
    heldMessages().append({type, text});
}

bool isSocket(const QByteArray &path)
{
    struct stat status{};
    return stat(path.constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

} // namespace

void keepSessionBusFromAutolaunching()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    // libdbus's own default before autolaunch: the user bus in the runtime folder.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isSocket(runtime + "/bus"))
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

void watchStartUp()
{
    qInstallMessageHandler(holdBackMessages);
}

void startUpSucceeded()
{
    qInstallMessageHandler(nullptr);
    for (const HeldMessage &message : std::as_const(heldMessages()))
        qt_message_output(message.type, QMessageLogContext(), message.text);
    heldMessages().clear();
}
