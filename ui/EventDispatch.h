#pragma once

#include <functional>

class QWidget;

// Status the program ends with after reporting a run-time error.
inline constexpr int kRuntimeErrorExitStatus = 1;

// Runs one event handler of the window. A calc::RuntimeError that escapes the
// handler stops here, so it never unwinds through Qt: it is reported in one
// modal message box over `window`, and once the user dismisses it the event
// loop ends with kRuntimeErrorExitStatus.
void dispatchEvent(QWidget *window, const std::function<void()> &handler) noexcept;
