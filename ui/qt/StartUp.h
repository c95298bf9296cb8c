#pragma once

// What the program does before the toolkit starts, so that it starts the same
// whatever it is given and leaves nothing behind.

// Keeps the toolkit from starting anything that outlives the program: where
// no D-Bus session bus exists, the accessibility bridge would have libdbus
// autolaunch one (dbus-launch and a daemon that never end, files under
// ~/.dbus), so it is pointed at no bus instead. Where a bus exists, nothing
// changes and assistive technology works as usual.
void keepSessionBusFromAutolaunching();

// Until startUpSucceeded(), the toolkit's messages are held back; a fatal one
// (no display could be opened, the platform plugin could not start) ends the
// program at once with one plain line on standard error and
// kExitStatusNoDisplay, instead of an abort and a core file.
void watchStartUp();
void startUpSucceeded();
