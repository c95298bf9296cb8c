#include "Accessibility.h"

#include "FormObject.h"
#include "WideText.h"

#include <algorithm>
#include <commctrl.h>
#include <utility>

namespace {

// Windows' annotation service and the UI Automation property that makes a
// control a live region (values from the Windows SDK).
constexpr GUID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPoliteLiveSetting = 1;
// EVENT_OBJECT_LIVEREGIONCHANGED, from Windows 8 on; earlier systems ignore it.
constexpr DWORD kLiveRegionChanged = 0x8019;

} // namespace

WindowAccessibility::WindowAccessibility(HWND window, const std::vector<Control> &controls,
                                         const AccessibilityApi &api)
    : api_(api), window_(window)
{
    for (const form::ControlSpec *row : form::readingOrder()) {
        const auto found = std::ranges::find(controls, row, &Control::row);
        if (found != controls.end())
            readable_.push_back(*found);
    }
    const auto owner = reinterpret_cast<DWORD_PTR>(this);
    for (const Control &control : readable_)
        SetWindowSubclass(control.handle, subclassProcedure, 0, owner);
}

WindowAccessibility::~WindowAccessibility()
{
    disconnect();
    if (comStarted_)
        api_.coUninitialize();
}

void WindowAccessibility::disconnect() noexcept
{
    if (!window_)
        return;
    if (properties_) {
        properties_->ClearHwndProps(liveRegion_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    &kLiveSettingProperty, 1);
        properties_.reset();
    }
    liveRegion_ = nullptr;
    if (form_) {
        form_->disconnect();
        form_.reset();
    }
    for (const Control &control : readable_)
        RemoveWindowSubclass(control.handle, subclassProcedure, 0);
    window_ = nullptr;
}

LRESULT CALLBACK WindowAccessibility::subclassProcedure(HWND target, UINT message, WPARAM wParam,
                                                        LPARAM lParam, UINT_PTR, DWORD_PTR owner)
{
    auto *self = reinterpret_cast<WindowAccessibility *>(owner);
    if (message == WM_GETOBJECT) {
        if (const auto answer = self->objectFor(target, wParam, lParam))
            return *answer;
    }
    return DefSubclassProc(target, message, wParam, lParam);
}

std::optional<LRESULT> WindowAccessibility::windowMessage(UINT message, WPARAM wParam,
                                                          LPARAM lParam) noexcept
{
    if (message == WM_GETOBJECT && window_)
        return objectFor(window_, wParam, lParam);
    // The window goes before its controls: all of it is let go of at once,
    // while every window still exists.
    if (message == WM_DESTROY)
        disconnect();
    return std::nullopt;
}

bool WindowAccessibility::ready()
{
    if (form_)
        return true;
    if (!window_ || !api_.complete())
        return false;
    // Handing an object to another process goes through COM, in this thread.
    if (!comStarted_) {
        const HRESULT started = api_.coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(started) && started != RPC_E_CHANGED_MODE)
            return false;
        comStarted_ = SUCCEEDED(started);
    }
    const auto standardFor = [&](HWND handle) {
        void *made = nullptr;
        const HRESULT result =
            api_.createStdAccessibleObject(handle, OBJID_CLIENT, __uuidof(IAccessible), &made);
        ComReference<IAccessible> standard(static_cast<IAccessible *>(made));
        if (FAILED(result))
            standard.reset();
        return standard;
    };
    ComReference<IAccessible> standard = standardFor(window_);
    if (!standard)
        return false;
    ComReference<FormObject> form(new FormObject(api_, std::move(standard), window_));
    for (const Control &control : readable_) {
        if (ComReference<IAccessible> own = standardFor(control.handle))
            form->adopt(ComReference<ControlObject>(
                new ControlObject(api_, std::move(own), *control.row, control.handle, form.get())));
    }
    form->announce(std::exchange(announced_, {}));
    form_ = std::move(form);
    return true;
}

std::optional<LRESULT> WindowAccessibility::objectFor(HWND target, WPARAM wParam,
                                                      LPARAM lParam) noexcept
{
    // What cannot be made or handed over is left to the system's own objects.
    try {
        if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !ready())
            return std::nullopt;
        IAccessible *object = target == window_
                                  ? static_cast<IAccessible *>(form_.get())
                                  : static_cast<IAccessible *>(form_->childFor(target));
        if (!object)
            return std::nullopt;
        const LRESULT reference = api_.lresultFromObject(__uuidof(IAccessible), wParam, object);
        if (FAILED(static_cast<HRESULT>(reference)))
            return std::nullopt;
        return reference;
    } catch (...) {
        return std::nullopt;
    }
}

void WindowAccessibility::markLiveRegion(HWND control) noexcept
{
    // Only where a client has asked for the window's objects: a click loads
    // and starts nothing for nobody. A system without the annotation service
    // (Wine's) leaves the control unmarked.
    if (liveRegion_ || !form_ || !api_.coCreateInstance)
        return;
    void *made = nullptr;
    const HRESULT result = api_.coCreateInstance(
        kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kAccPropServicesInterface, &made);
    ComReference<IAccPropServices> properties(static_cast<IAccPropServices *>(made));
    if (FAILED(result))
        return;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPoliteLiveSetting;
    if (FAILED(properties->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       kLiveSettingProperty, polite)))
        return;
    properties_ = std::move(properties);
    liveRegion_ = control;
}

void WindowAccessibility::announce(HWND control, std::u16string_view spoken) noexcept
{
    if (!window_)
        return;
    try {
        announced_ = {control, windowText(control), std::u16string(spoken)};
    } catch (...) {
        announced_ = {}; // the control's own name is said instead
    }
    if (form_)
        form_->announce(std::exchange(announced_, {}));
    markLiveRegion(control);
    // Readers that follow MSAA hear the name change; those that follow UI
    // Automation, through its proxy, the live region's, spoken even while
    // the focus is elsewhere.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}
