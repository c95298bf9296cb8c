#pragma once

#include "AccessibilityApi.h"
#include "ComReference.h"
#include "WindowTable.h"

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
// Nothing is loaded or made until a client first asks. When the window is
// destroyed, every object handed out goes defunct: a client may hold one for
// as long as it likes, and the window's handles may be reused by then.
class WindowAccessibility
{
public:
    struct Control
    {
        const form::ControlSpec *row;
        HWND handle;
    };

    // `controls`: the window's controls (any order); those the table gives a
    // reading index are read. The window and they answer their own requests
    // from then on, through `api`.
    WindowAccessibility(HWND window, const std::vector<Control> &controls,
                        const AccessibilityApi &api = AccessibilityApi::system());
    ~WindowAccessibility();
    WindowAccessibility(const WindowAccessibility &) = delete;
    WindowAccessibility &operator=(const WindowAccessibility &) = delete;

    // `control`'s text changed: a screen reader is told, to speak it.
    void announceTextChange(HWND control) noexcept;

    // A message of the window itself, which its own procedure passes here
    // first: its WM_GETOBJECT is answered, and its WM_DESTROY ends every
    // object. A value is the message's answer. (The controls are subclassed;
    // the window is not, since under Wine every message to a subclassed
    // window costs a trip to the server, and the window gets many on each
    // Calculate.)
    std::optional<LRESULT> windowMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static LRESULT CALLBACK subclassProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    // The answer to WM_GETOBJECT sent to `target` (the window or one of the
    // read controls), or nothing where the system's own answer serves.
    std::optional<LRESULT> objectFor(HWND target, WPARAM wParam, LPARAM lParam) noexcept;
    bool ready();
    // `control` a polite live region, where the system can mark one.
    void markLiveRegion(HWND control) noexcept;
    // While the windows still exist: every object defunct, every subclass
    // and annotation taken back.
    void disconnect() noexcept;

    const AccessibilityApi &api_;
    HWND window_;                   // null once disconnected
    std::vector<Control> readable_; // in reading order
    ComReference<FormObject> form_;
    bool comStarted_ = false;
    ComReference<IAccPropServices> properties_;
    HWND liveRegion_ = nullptr;
};
