#include "Accessibility.h"

#include "AccessibleText.h"
#include "CaptionLayout.h"
#include "WideText.h"

#include <algorithm>
#include <commctrl.h>
#include <new>
#include <string>
#include <type_traits>

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

bool isSelf(const VARIANT &child) noexcept
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

VARIANT self() noexcept
{
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = CHILDID_SELF;
    return id;
}

// An [out] parameter as it is handed back on failure: empty.
template <typename Pointer> void clear(Pointer *&out) noexcept
{
    out = nullptr;
}
template <typename Number>
requires std::is_arithmetic_v<Number>
void clear(Number &out) noexcept
{
    out = 0;
}
void clear(VARIANT &out) noexcept
{
    out = VARIANT{};
}

// A text handed out as a BSTR; an empty one as none (S_FALSE), as MSAA has it.
HRESULT giveText(const AccessibilityApi &api, std::u16string_view text, BSTR *out) noexcept
{
    if (text.empty())
        return S_FALSE;
    *out = api.sysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.data()),
                                 static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace

// An object that hands every question to another (the system's standard
// object for the same window), except those its subclass answers itself.
// Once disconnected it lets go of that object and answers nothing.
class DelegatingObject : public IAccessible, public IOleWindow
{
public:
    DelegatingObject(const AccessibilityApi &api, ComReference<IAccessible> standard,
                     HWND own) noexcept
        : api_(api), standard_(std::move(standard)), own_(own)
    {}
    DelegatingObject(const DelegatingObject &) = delete;
    DelegatingObject &operator=(const DelegatingObject &) = delete;

    // The window is going: from now on every question is answered
    // CO_E_OBJNOTCONNECTED, and no window is touched.
    virtual void disconnect() noexcept { standard_.reset(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible))
            *object = static_cast<IAccessible *>(this);
        else if (iid == __uuidof(IOleWindow))
            *object = static_cast<IOleWindow *>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // The object's own window: a client takes the window's class from it.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND *window) override
    {
        return answer(
            [&] {
                *window = own_;
                return S_OK;
            },
            window);
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override
    {
        return answer([] { return E_NOTIMPL; });
    }

    // Clients reach the properties through IAccessible, not by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        return answer([] { return S_OK; }, count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        return answer([] { return E_NOTIMPL; }, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return answer([] { return E_NOTIMPL; });
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                     EXCEPINFO *, UINT *) override
    {
        return answer([] { return E_NOTIMPL; });
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        return answer([&] { return standard_->get_accParent(parent); }, parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        return answer([&] { return standard_->get_accChildCount(count); }, count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        return answer([&] { return standard_->get_accChild(child, object); }, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return forward(
            child, [&](IAccessible *to, VARIANT id) { return to->get_accName(id, name); }, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        return forward(
            child, [&](IAccessible *to, VARIANT id) { return to->get_accValue(id, value); }, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        return forward(
            child,
            [&](IAccessible *to, VARIANT id) { return to->get_accDescription(id, description); },
            description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        return forward(
            child, [&](IAccessible *to, VARIANT id) { return to->get_accRole(id, role); }, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        return forward(
            child, [&](IAccessible *to, VARIANT id) { return to->get_accState(id, state); }, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        return forward(
            child, [&](IAccessible *to, VARIANT id) { return to->get_accHelp(id, help); }, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override
    {
        return forward(
            child,
            [&](IAccessible *to, VARIANT id) { return to->get_accHelpTopic(file, id, topic); },
            file, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return forward(
            child,
            [&](IAccessible *to, VARIANT id) { return to->get_accKeyboardShortcut(id, shortcut); },
            shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override
    {
        return answer([&] { return standard_->get_accFocus(focus); }, focus);
    }
    // Nothing here is selectable.
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *selection) override
    {
        return answer([] { return S_OK; }, selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return forward(
            child,
            [&](IAccessible *to, VARIANT id) { return to->get_accDefaultAction(id, action); },
            action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return forward(child,
                       [&](IAccessible *to, VARIANT id) { return to->accSelect(flags, id); });
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                          VARIANT child) override
    {
        return forward(
            child,
            [&](IAccessible *to, VARIANT id) {
                return to->accLocation(left, top, width, height, id);
            },
            left, top, width, height);
    }
    // The standard object numbers its window's children in z-order, not
    // in the reading order this one hands out: it is never asked.
    HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT *end) override
    {
        return answer([] { return E_NOTIMPL; }, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *hit) override
    {
        return answer([&] { return standard_->accHitTest(x, y, hit); }, hit);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return forward(child,
                       [](IAccessible *to, VARIANT id) { return to->accDoDefaultAction(id); });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override
    {
        return answer([] { return E_NOTIMPL; });
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override
    {
        return answer([] { return E_NOTIMPL; });
    }

protected:
    virtual ~DelegatingObject() = default;

    // Every method's one way in: its [out] parameters emptied, nothing
    // answered once disconnected, and no exception let out into the
    // caller's frames.
    template <typename Ask, typename... Out> HRESULT answer(Ask ask, Out *...out) noexcept
    {
        if ((!out || ...))
            return E_POINTER;
        (clear(*out), ...);
        if (!standard_)
            return CO_E_OBJNOTCONNECTED;
        try {
            return ask();
        } catch (const std::bad_alloc &) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    // Who answers for `child`, and as which child of it (`id`); nullptr
    // where there is no such child.
    virtual IAccessible *target(const VARIANT &child, VARIANT &id)
    {
        (void)id;
        return isSelf(child) ? standard_.get() : nullptr;
    }

    // `ask`ed of whoever answers for `child`, as that one's child.
    template <typename Ask, typename... Out>
    HRESULT forward(const VARIANT &child, Ask ask, Out *...out) noexcept
    {
        return answer(
            [&] {
                VARIANT id = child;
                IAccessible *to = target(child, id);
                return to ? ask(to, id) : E_INVALIDARG;
            },
            out...);
    }

    const AccessibilityApi &api_;
    ComReference<IAccessible> standard_; // null once disconnected
    const HWND own_;

private:
    LONG references_ = 1;
};

// One readable control: its standard object, named, described and given a
// role as the table says.
class ControlObject final : public DelegatingObject
{
public:
    ControlObject(const AccessibilityApi &api, ComReference<IAccessible> standard,
                  const form::ControlSpec &row, HWND handle, FormObject *form) noexcept
        : DelegatingObject(api, std::move(standard), handle), row_(row), form_(form)
    {}

    HWND handle() const noexcept { return own_; }
    void disconnect() noexcept override
    {
        form_ = nullptr;
        DelegatingObject::disconnect();
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override;

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return own(child, name, [&] {
            return giveText(api_, form::accessibleName(row_, windowText(own_)), name);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        // The answer is read as a value too, as a result field is.
        return own(child, value, [&] {
            if (row_.role != form::Role::Answer)
                return S_FALSE;
            return giveText(
                api_, form::accessibleText(form::ShownCaption::fromCaption(windowText(own_)).text),
                value);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        return own(child, description,
                   [&] { return giveText(api_, form::accessibleDescription(row_), description); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        return own(child, role, [&] {
            role->vt = VT_I4;
            switch (row_.kind) {
            case form::ControlKind::Button:
                role->lVal = ROLE_SYSTEM_PUSHBUTTON;
                break;
            case form::ControlKind::Image:
                role->lVal = ROLE_SYSTEM_GRAPHIC;
                break;
            case form::ControlKind::Label:
                role->lVal = ROLE_SYSTEM_STATICTEXT;
                break;
            case form::ControlKind::Line:
                role->lVal = ROLE_SYSTEM_SEPARATOR;
                break;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        // A label's underlined letter only points at the button it names.
        if (row_.kind != form::ControlKind::Button)
            return own(child, shortcut, [] { return S_FALSE; });
        return DelegatingObject::get_accKeyboardShortcut(child, shortcut);
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        const HRESULT done = DelegatingObject::accDoDefaultAction(child);
        // A system whose standard object cannot press a button (Wine's) gets
        // the click a press is; posted, so that the caller is answered first.
        if (done == E_NOTIMPL && row_.kind == form::ControlKind::Button && isSelf(child))
            return PostMessageW(own_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
        return done;
    }

private:
    // A question only this object itself answers: no child of it.
    template <typename Out, typename Ask> HRESULT own(const VARIANT &child, Out *out, Ask ask)
    {
        return answer([&] { return isSelf(child) ? ask() : E_INVALIDARG; }, out);
    }

    const form::ControlSpec &row_;
    FormObject *form_; // null once disconnected
};

// The window's client area: its children are the readable controls, in
// reading order.
class FormObject final : public DelegatingObject
{
public:
    FormObject(const AccessibilityApi &api, ComReference<IAccessible> standard,
               HWND window) noexcept
        : DelegatingObject(api, std::move(standard), window)
    {}

    void adopt(ComReference<ControlObject> child) { children_.push_back(std::move(child)); }

    // The children go defunct with it, and are let go of.
    void disconnect() noexcept override
    {
        for (const ComReference<ControlObject> &child : children_)
            child->disconnect();
        children_.clear();
        DelegatingObject::disconnect();
    }

    ControlObject *childFor(HWND handle) const noexcept
    {
        for (const ComReference<ControlObject> &child : children_) {
            if (child->handle() == handle)
                return child.get();
        }
        return nullptr;
    }

    // The child before or after `child` in reading order, as a VARIANT.
    HRESULT sibling(const ControlObject *child, LONG direction, VARIANT *end) const noexcept
    {
        const auto at = std::ranges::find(children_, child, &ComReference<ControlObject>::get);
        const std::ptrdiff_t step = direction == NAVDIR_NEXT ? 1 : -1;
        const std::ptrdiff_t index = (at - children_.begin()) + step;
        if (at == children_.end() || index < 0 ||
            index >= static_cast<std::ptrdiff_t>(children_.size()))
            return S_FALSE;
        return give(children_[static_cast<std::size_t>(index)].get(), end);
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        return answer(
            [&] {
                *count = static_cast<LONG>(children_.size());
                return S_OK;
            },
            count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        return answer(
            [&] {
                ControlObject *found = childAt(child);
                if (!found)
                    return E_INVALIDARG;
                found->AddRef();
                *object = found;
                return S_OK;
            },
            object);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override
    {
        return answer(
            [&] {
                if (isSelf(start) &&
                    (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)) {
                    if (children_.empty())
                        return S_FALSE;
                    return give(direction == NAVDIR_FIRSTCHILD ? children_.front().get()
                                                               : children_.back().get(),
                                end);
                }
                if (isSelf(start))
                    return E_NOTIMPL;
                const ControlObject *child = childAt(start);
                if (!child)
                    return E_INVALIDARG;
                if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS)
                    return sibling(child, direction, end);
                return E_NOTIMPL;
            },
            end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *hit) override
    {
        return answer(
            [&] {
                POINT point{x, y};
                RECT client{};
                ScreenToClient(own_, &point);
                GetClientRect(own_, &client);
                if (!PtInRect(&client, point))
                    return S_FALSE;
                // The control drawn at the point; a line or the background is
                // the window.
                const HWND under = ChildWindowFromPointEx(own_, point, CWP_SKIPINVISIBLE);
                if (ControlObject *child = childFor(under))
                    return give(child, hit);
                *hit = self();
                return S_OK;
            },
            hit);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override
    {
        return answer(
            [&] {
                const HWND focused = GetFocus();
                if (ControlObject *child = childFor(focused))
                    return give(child, focus);
                if (focused != own_)
                    return S_FALSE;
                *focus = self();
                return S_OK;
            },
            focus);
    }

protected:
    ~FormObject() override { disconnect(); }

    IAccessible *target(const VARIANT &child, VARIANT &id) override
    {
        if (isSelf(child))
            return standard_.get();
        id = self();
        return childAt(child);
    }

private:
    ControlObject *childAt(const VARIANT &child) const noexcept
    {
        if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<LONG>(children_.size()))
            return nullptr;
        return children_[static_cast<std::size_t>(child.lVal - 1)].get();
    }

    static HRESULT give(ControlObject *child, VARIANT *out) noexcept
    {
        child->AddRef();
        out->vt = VT_DISPATCH;
        out->pdispVal = child;
        return S_OK;
    }

    std::vector<ComReference<ControlObject>> children_;
};

HRESULT STDMETHODCALLTYPE ControlObject::get_accParent(IDispatch **parent)
{
    return answer(
        [&] {
            if (!form_)
                return S_FALSE;
            form_->AddRef();
            *parent = form_;
            return S_OK;
        },
        parent);
}

HRESULT STDMETHODCALLTYPE ControlObject::accNavigate(LONG direction, VARIANT start, VARIANT *end)
{
    return answer(
        [&] {
            if (!isSelf(start))
                return E_INVALIDARG;
            switch (direction) {
            case NAVDIR_NEXT:
            case NAVDIR_PREVIOUS:
                return form_ ? form_->sibling(this, direction, end) : S_FALSE;
            case NAVDIR_FIRSTCHILD:
            case NAVDIR_LASTCHILD:
                return S_FALSE; // a control has no children
            default:
                return E_NOTIMPL;
            }
        },
        end);
}

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
    switch (message) {
    case WM_GETOBJECT:
        return window_ ? objectFor(window_, wParam, lParam) : std::nullopt;
    case WM_DESTROY:
        // The window goes before its controls: all of it is let go of at
        // once, while every window still exists.
        disconnect();
        return std::nullopt;
    default:
        return std::nullopt;
    }
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
        ComReference<IAccessible> standard;
        if (FAILED(api_.createStdAccessibleObject(handle, OBJID_CLIENT, __uuidof(IAccessible),
                                                  reinterpret_cast<void **>(standard.put()))))
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
    ComReference<IAccPropServices> properties;
    if (FAILED(api_.coCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                     kAccPropServicesInterface,
                                     reinterpret_cast<void **>(properties.put()))))
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

void WindowAccessibility::announceTextChange(HWND control) noexcept
{
    if (!window_)
        return;
    markLiveRegion(control);
    // Readers that follow MSAA hear the name change; those that follow UI
    // Automation, through its proxy, the live region's, spoken even while
    // the focus is elsewhere.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}
