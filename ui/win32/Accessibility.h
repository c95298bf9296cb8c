#pragma once

#include "AccessibilityApi.h"
#include "ComReference.h"
#include "ControlObject.h"
#include "WindowTable.h"

#include <optional>
#include <vector>
#include <windows.h>

class FormObject;
struct IAccPropServices;

// What assistive technology reads of the window through MSAA (and UI
// Automation through its proxy): the table's readable controls in reading
// order, named and described as the table says, otherwise the system's
// standard objects, so focus, location, hit testing and default actions keep
// working. Nothing is loaded until a client first asks. Every object handed
// out goes defunct with the window: a client may hold one past it.
class WindowAccessibility
{
public:
    struct Control
    {
        const form::ControlSpec *row;
        HWND handle;
    };

    // `controls`: the window's controls (any order); those in the table's
    // reading order are read. They answer WM_GETOBJECT from now on.
    WindowAccessibility(HWND window, const std::vector<Control> &controls,
                        const AccessibilityApi &api = AccessibilityApi::system());
    ~WindowAccessibility();
    WindowAccessibility(const WindowAccessibility &) = delete;
    WindowAccessibility &operator=(const WindowAccessibility &) = delete;

    // `control`'s text changed, and a screen reader is to say `spoken`: it
    // is the control's name until its text changes again.
    void announce(HWND control, std::u16string_view spoken) noexcept;

    // A message of the window, passed here first by its procedure: a value
    // answers it (WM_GETOBJECT); WM_DESTROY ends every object. (Only the
    // controls are subclassed: under Wine each message to a subclassed window
    // costs a trip to the server, and the window gets many on each Calculate.)
    std::optional<LRESULT> windowMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static LRESULT CALLBACK subclassProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    // The answer to WM_GETOBJECT sent to `target` (the window or one of the
    // read controls), or nothing where the system's own answer serves.
    std::optional<LRESULT> objectFor(HWND target, WPARAM wParam, LPARAM lParam) noexcept;
    bool ready();
    // `control` a polite live region, where the system can mark one.
    void markLiveRegion(HWND control) noexcept;
    // While the windows exist: every object defunct, subclass and annotation undone.
    void disconnect() noexcept;

    const AccessibilityApi &api_;
    HWND window_;                   // null once disconnected
    std::vector<Control> readable_; // in reading order
    ComReference<FormObject> form_;
    bool comStarted_ = false;
    ComReference<IAccPropServices> properties_;
    HWND liveRegion_ = nullptr;
    Announcement announced_; // until the objects are made
};
