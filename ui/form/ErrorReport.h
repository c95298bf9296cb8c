#pragma once

// What the window tells the user when a handler fails, and the statuses the
// program ends with: the same on every front end.

#include <exception>
#include <string_view>

namespace form {

// The program ended normally (Exit or the window's close).
inline constexpr int kExitStatusOk = 0;
// An error left a handler; it was reported in a message box.
inline constexpr int kExitStatusReportedError = 1;
// There was no display to show the window on.
inline constexpr int kExitStatusNoDisplay = 2;

// The message box text for an exception that left a handler: a
// calc::RuntimeError by its kind, running out of memory, or anything else.
// Allocates nothing, so it also serves after std::bad_alloc.
std::u16string_view errorMessage(const std::exception_ptr &error) noexcept;

// A failure with no window to report it in (none could be made, or it is
// gone): no run to go on with, so `error`'s message alone, in the system's
// plain box where `showPlainBox` has one, and then the end. Returns the
// status to end with; a box that fails changes nothing of it.
int reportWithoutWindow(const std::exception_ptr &error,
                        void (*showPlainBox)(std::u16string_view message)) noexcept;

// The caption of the message box's one button.
inline constexpr std::u16string_view kErrorBoxButton = u"ОК";

} // namespace form
