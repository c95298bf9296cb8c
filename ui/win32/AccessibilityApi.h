#pragma once

// The accessibility, COM and automation functions the accessible objects
// use, loaded from the system folder only, on first use: oleacc.dll is no
// KnownDLL, so imported, a file of that name beside the program would be
// loaded in its place; and nothing is loaded until assistive technology asks.
// Where one the objects need is missing, the system's own objects serve.

#include <oleacc.h>
#include <windows.h>

struct AccessibilityApi
{
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::CoInitializeEx) coInitializeEx = nullptr;
    decltype(&::CoUninitialize) coUninitialize = nullptr;
    decltype(&::SysAllocStringLen) sysAllocStringLen = nullptr;
    // Only for marking the answer a live region; the objects work without it.
    decltype(&::CoCreateInstance) coCreateInstance = nullptr;

    // Every function the objects cannot do without was found.
    bool complete() const noexcept;

    // The process's one copy, loaded on the first call. The libraries stay
    // loaded: objects handed to other processes may call into them at any time.
    static const AccessibilityApi &system();
};
