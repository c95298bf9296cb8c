#pragma once

// What the program does before the toolkit starts, so that it starts the same
// whatever it is given and leaves nothing behind.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// Keeps the toolkit from starting anything that outlives the program: where
// no D-Bus session bus exists, the accessibility bridge would have libdbus
// autolaunch one (dbus-launch and a daemon that never end, files under
// ~/.dbus), so it is pointed at no bus instead. Where a bus exists, nothing
// changes and assistive technology works as usual.
void keepSessionBusFromAutolaunching();

// A WAYLAND_DISPLAY left behind by a session that is gone, beside a working
// DISPLAY: the toolkit would try the dead one first and complain before it
// falls back. Where nobody chose the platform, X11 is taken at once.
void skipStaleWaylandDisplay();

// The toolkit wants a private runtime folder even though this program puts
// nothing in it; where XDG_RUNTIME_DIR names none that is usable, it would
// create /tmp/runtime-$USER (or the missing folder) and leave it behind. This
// gives it a fresh one for the run instead and removes it at the end.
class TransientRuntimeDir
{
public:
    TransientRuntimeDir();
    ~TransientRuntimeDir();
    TransientRuntimeDir(const TransientRuntimeDir &) = delete;
    TransientRuntimeDir &operator=(const TransientRuntimeDir &) = delete;

    // Removes the folder now, if one was made (also on the way out that
    // skips destructors).
    void remove() noexcept;

private:
    QByteArray path_; // empty: none was made
};

// From its making until succeeded(), the toolkit's messages are held back; a
// fatal one (no display could be opened, the platform plugin could not start)
// ends the program at once with one plain line on standard error and
// kExitStatusNoDisplay, instead of an abort and a core file. One watch at a
// time: the toolkit takes a single message handler.
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
