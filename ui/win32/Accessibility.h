#pragma once

#include "LayoutTable.h"

#include <optional>
#include <vector>
#include <windows.h>

class FormObject;
struct IAccPropServices;

// What assistive technology reads of the window, through MSAA (which
// Windows' UI Automation also reads, through its proxy): the table's
// readable controls in reading order, named and described as the table says,
// each otherwise the system's standard object for its control, so focus,
// location, hit testing and the buttons' default action keep working.
// Nothing is loaded or made until a client first asks.
class WindowAccessibility
{
public:
    struct Control
    {
        const form::ControlSpec *row;
        HWND handle;
    };

    // `controls`: the window's controls (any order); those the table gives a
    // reading index are read. They answer their own requests from then on.
    WindowAccessibility(HWND window, const std::vector<Control> &controls);
    ~WindowAccessibility();
    WindowAccessibility(const WindowAccessibility &) = delete;
    WindowAccessibility &operator=(const WindowAccessibility &) = delete;

    // The answer to WM_GETOBJECT sent to `target` (the window or one of the
    // read controls), or nothing where the system's own answer serves.
    std::optional<LRESULT> objectFor(HWND target, WPARAM wParam, LPARAM lParam);

    // `control`'s text changed: a screen reader is told, to speak it.
    void announceTextChange(HWND control);

private:
    static LRESULT CALLBACK controlProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    bool ready();
    bool markLiveRegion(HWND control);

    HWND window_;
    std::vector<Control> readable_; // in reading order
    FormObject *form_ = nullptr;
    bool comStarted_ = false;
    IAccPropServices *properties_ = nullptr;
    HWND liveRegion_ = nullptr;
};
