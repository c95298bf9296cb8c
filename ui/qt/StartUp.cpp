#include "StartUp.h"

#include "ErrorReport.h"

#include <QDir>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The watch whose handler is installed: the toolkit's message handler is a
// plain function, told nothing of its owner.
StartUpWatch *activeWatch = nullptr;

bool isPrivateFolder(const QByteArray &path)
{
    struct stat status = {};
    return !path.isEmpty() && stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & 0777) == 0700;
}

bool isSocket(const QByteArray &path)
{
    struct stat status = {};
    return stat(path.constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

// The one line a start-up without a display ends with.
QByteArray noDisplayLine(const QByteArray &forcedPlatform)
{
    QByteArray line = "vantrel1: there is no display to show the window on";
    if (forcedPlatform.isEmpty())
        return line + "; start it on a virtual screen with: xvfb-run -a vantrel1\n";
    // The user chose the platform: say what was tried, and what helps.
    const auto shown = [](const char *name) {
        const QByteArray value = qgetenv(name);
        return QByteArray(name) + (value.isEmpty() ? QByteArray(" unset") : '=' + value);
    };
    return line + " through QT_QPA_PLATFORM=" + forcedPlatform + " (" + shown("WAYLAND_DISPLAY") +
           ", " + shown("DISPLAY") + "); unset QT_QPA_PLATFORM to use the session's display\n";
}

} // namespace

TransientRuntimeDir::TransientRuntimeDir()
{
    if (isPrivateFolder(qgetenv("XDG_RUNTIME_DIR")))
        return;
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty())
        base = "/tmp";
    QByteArray path = base + "/vantrel1-runtime-XXXXXX";
    if (!mkdtemp(path.data()))
        return;
    path_ = path;
    qputenv("XDG_RUNTIME_DIR", path_);
}

TransientRuntimeDir::~TransientRuntimeDir()
{
    remove();
}

void TransientRuntimeDir::remove() noexcept
{
    if (!path_.isEmpty()) {
        QDir(QString::fromLocal8Bit(path_)).removeRecursively();
        path_.clear();
    }
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

void skipStaleWaylandDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    // A relative name is a socket in the runtime folder.
    QByteArray socket = qgetenv("WAYLAND_DISPLAY");
    if (!socket.startsWith('/'))
        socket = qgetenv("XDG_RUNTIME_DIR") + '/' + socket;
    if (!isSocket(socket))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

StartUpWatch::StartUpWatch(TransientRuntimeDir &runtimeDir) : runtimeDir_(runtimeDir)
{
    // Whether the user chose the platform, for the message if it fails.
    forcedPlatform_ = qgetenv("QT_QPA_PLATFORM");
    activeWatch = this;
    qInstallMessageHandler(holdBack);
    // The X libraries write their own complaints (a refused connection, say)
    // straight to standard error; while the display is opened they go nowhere.
    std::fflush(stderr);
    savedStandardError_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedStandardError_ >= 0 && devNull >= 0)
        dup2(devNull, STDERR_FILENO);
    if (devNull >= 0)
        close(devNull);
}

StartUpWatch::~StartUpWatch()
{
    if (activeWatch == this)
        succeeded();
}

void StartUpWatch::restoreStandardError() noexcept
{
    std::fflush(stderr);
    if (savedStandardError_ >= 0) {
        dup2(savedStandardError_, STDERR_FILENO);
        close(savedStandardError_);
        savedStandardError_ = -1;
    }
}

void StartUpWatch::succeeded()
{
    restoreStandardError();
    qInstallMessageHandler(nullptr);
    activeWatch = nullptr;
    for (const HeldMessage &message : std::as_const(held_))
        qt_message_output(message.type, QMessageLogContext(), message.text);
    held_.clear();
}

void StartUpWatch::holdBack(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    StartUpWatch *watch = activeWatch;
    if (type == QtFatalMsg) {
        const int fd =
            watch && watch->savedStandardError_ >= 0 ? watch->savedStandardError_ : STDERR_FILENO;
        const QByteArray line = noDisplayLine(watch ? watch->forcedPlatform_ : QByteArray());
        (void)!write(fd, line.constData(), static_cast<std::size_t>(line.size()));
        if (watch)
            watch->runtimeDir_.remove();
        std::_Exit(form::kExitStatusNoDisplay);
    }
    if (watch)
        watch->held_.append({type, text});
}
