#include "StartUp.h"

#include "ErrorReport.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder TransientRuntimeDir made, if any, for every way out to remove.
char transientRuntimeDir[4096] = {};

void removeTransientRuntimeDir()
{
    if (transientRuntimeDir[0] != '\0') {
        QDir(QString::fromLocal8Bit(transientRuntimeDir)).removeRecursively();
        transientRuntimeDir[0] = '\0';
    }
}

bool isPrivateFolder(const QByteArray &path)
{
    struct stat status = {};
    return !path.isEmpty() && stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & 0777) == 0700;
}

// Standard error as it was before start-up, while fd 2 points at /dev/null.
int savedStandardError = -1;

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
        static const char line[] = "vantrel1: there is no display to show the window on; "
                                   "start it on a virtual screen with: xvfb-run -a vantrel1\n";
        (void)!write(savedStandardError >= 0 ? savedStandardError : STDERR_FILENO, line,
                     sizeof line - 1);
        removeTransientRuntimeDir();
        std::_Exit(form::kExitStatusNoDisplay);
    }
    heldMessages().append({type, text});
}

bool isSocket(const QByteArray &path)
{
    struct stat status = {};
    return stat(path.constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

} // namespace

TransientRuntimeDir::TransientRuntimeDir()
{
    if (isPrivateFolder(qgetenv("XDG_RUNTIME_DIR")))
        return;
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty())
        base = "/tmp";
    const int length = std::snprintf(transientRuntimeDir, sizeof transientRuntimeDir,
                                     "%s/vantrel1-runtime-XXXXXX", base.constData());
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof transientRuntimeDir) {
        transientRuntimeDir[0] = '\0';
        return;
    }
    if (!mkdtemp(transientRuntimeDir)) {
        transientRuntimeDir[0] = '\0';
        return;
    }
    qputenv("XDG_RUNTIME_DIR", transientRuntimeDir);
}

TransientRuntimeDir::~TransientRuntimeDir()
{
    removeTransientRuntimeDir();
}

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
    // The X libraries write their own complaints (a refused connection, say)
    // straight to standard error; while the display is opened they go nowhere.
    std::fflush(stderr);
    savedStandardError = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedStandardError >= 0 && devNull >= 0)
        dup2(devNull, STDERR_FILENO);
    if (devNull >= 0)
        close(devNull);
}

void startUpSucceeded()
{
    std::fflush(stderr);
    if (savedStandardError >= 0) {
        dup2(savedStandardError, STDERR_FILENO);
        close(savedStandardError);
        savedStandardError = -1;
    }
    qInstallMessageHandler(nullptr);
    for (const HeldMessage &message : std::as_const(heldMessages()))
        qt_message_output(message.type, QMessageLogContext(), message.text);
    heldMessages().clear();
}
