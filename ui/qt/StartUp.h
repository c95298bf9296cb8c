#pragma once

// What the program does before the toolkit starts, so that it starts the same
// whatever it is given and leaves nothing behind.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// Where no D-Bus session bus exists, the accessibility bridge would have
// libdbus autolaunch one (a daemon that never ends, files under ~/.dbus):
// it is pointed at no bus instead. An existing bus is left as it is.
void keepSessionBusFromAutolaunching();

// A WAYLAND_DISPLAY left by a session that is gone, beside a DISPLAY: the
// toolkit would complain of the dead one before it falls back, so where
// nobody chose the platform, X11 is taken at once.
void skipStaleWaylandDisplay();

// The toolkit wants a private runtime folder; where XDG_RUNTIME_DIR names
// none that is usable, it would make one and leave it behind. This makes a
// fresh one for the run instead and removes it at the end.
class TransientRuntimeDir
{
public:
    TransientRuntimeDir();
    ~TransientRuntimeDir();
    TransientRuntimeDir(const TransientRuntimeDir &) = delete;
    TransientRuntimeDir &operator=(const TransientRuntimeDir &) = delete;

    // Removes the folder now, if one was made (for an exit that skips destructors).
    void remove() noexcept;

private:
    QByteArray path_; // empty: none was made
};

// Until succeeded(), the toolkit's messages are held back; a fatal one (no
// display, no platform plugin) ends the program at once with one plain line
// on standard error and kExitStatusNoDisplay, instead of an abort and a core
// file. One watch at a time: the toolkit takes a single message handler.
class StartUpWatch
{
public:
    explicit StartUpWatch(TransientRuntimeDir &runtimeDir);
    ~StartUpWatch();
    StartUpWatch(const StartUpWatch &) = delete;
    StartUpWatch &operator=(const StartUpWatch &) = delete;

    // Standard error back, and the held messages shown as they would have been.
    void succeeded();

private:
    struct HeldMessage
    {
        QtMsgType type;
        QString text;
    };

    static void holdBack(QtMsgType type, const QMessageLogContext &, const QString &text);
    void restoreStandardError() noexcept;

    TransientRuntimeDir &runtimeDir_;
    // Standard error as it was before start-up, while fd 2 points at /dev/null.
    int savedStandardError_ = -1;
    QList<HeldMessage> held_;
    QByteArray forcedPlatform_; // empty: the toolkit's own choice
};
