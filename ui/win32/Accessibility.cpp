#include "Accessibility.h"

#include "AccessibilityApi.h"
#include "CaptionLayout.h"
#include "WideText.h"

#include <algorithm>
#include <commctrl.h>
#include <string>

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

// A text handed out as a BSTR; an empty one as none (S_FALSE), as MSAA has it.
HRESULT giveText(const AccessibilityApi &api, std::u16string_view text, BSTR *out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = api.sysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.data()),
                                 static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace

// An object that hands every question to another (the system's standard
// object for the same window), except those its subclass answers itself.
class DelegatingObject : public IAccessible
{
public:
    DelegatingObject(const AccessibilityApi &api, IAccessible *standard) noexcept
        : api_(api), standard_(standard)
    {}
    DelegatingObject(const DelegatingObject &) = delete;
    DelegatingObject &operator=(const DelegatingObject &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
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

    // Clients reach the properties through IAccessible, not by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        if (count)
            *count = 0;
        return count ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                     EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return forward(child,
                       [&](IAccessible *to, VARIANT id) { return to->get_accName(id, name); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        return forward(child,
                       [&](IAccessible *to, VARIANT id) { return to->get_accValue(id, value); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        return forward(child, [&](IAccessible *to, VARIANT id) {
            return to->get_accDescription(id, description);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        return forward(child,
                       [&](IAccessible *to, VARIANT id) { return to->get_accRole(id, role); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        return forward(child,
                       [&](IAccessible *to, VARIANT id) { return to->get_accState(id, state); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        return forward(child,
                       [&](IAccessible *to, VARIANT id) { return to->get_accHelp(id, help); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override
    {
        return forward(child, [&](IAccessible *to, VARIANT id) {
            return to->get_accHelpTopic(file, id, topic);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return forward(child, [&](IAccessible *to, VARIANT id) {
            return to->get_accKeyboardShortcut(id, shortcut);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override
    {
        return standard_->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *selection) override
    {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return forward(child, [&](IAccessible *to, VARIANT id) {
            return to->get_accDefaultAction(id, action);
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return forward(child,
                       [&](IAccessible *to, VARIANT id) { return to->accSelect(flags, id); });
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                          VARIANT child) override
    {
        return forward(child, [&](IAccessible *to, VARIANT id) {
            return to->accLocation(left, top, width, height, id);
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override
    {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *hit) override
    {
        return standard_->accHitTest(x, y, hit);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return forward(child,
                       [](IAccessible *to, VARIANT id) { return to->accDoDefaultAction(id); });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

protected:
    virtual ~DelegatingObject() { standard_->Release(); }

    // Who answers for `child`, and as which child of it (`id`); nullptr
    // where there is no such child.
    virtual IAccessible *target(const VARIANT &child, VARIANT &id)
    {
        (void)id;
        return isSelf(child) ? standard_ : nullptr;
    }

    // `ask`ed of whoever answers for `child`, as that one's child.
    template <typename Ask> HRESULT forward(const VARIANT &child, Ask ask)
    {
        VARIANT id = child;
        IAccessible *to = target(child, id);
        return to ? ask(to, id) : E_INVALIDARG;
    }

    const AccessibilityApi &api_;
    IAccessible *standard_;

private:
    LONG references_ = 1;
};

// One readable control: its standard object, named, described and given a
// role as the table says.
class ControlObject final : public DelegatingObject
{
public:
    ControlObject(const AccessibilityApi &api, IAccessible *standard, const form::ControlSpec &row,
                  HWND handle, FormObject *form) noexcept
        : DelegatingObject(api, standard), row_(row), handle_(handle), form_(form)
    {}

    HWND handle() const noexcept { return handle_; }
    void detach() noexcept { form_ = nullptr; }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override;

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        if (!isSelf(child))
            return E_INVALIDARG;
        return giveText(api_, row_.accessibleName.empty() ? shownText() : row_.accessibleName,
                        name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        if (!isSelf(child))
            return E_INVALIDARG;
        // The answer is read as a value too, as a result field is.
        return giveText(api_, row_.role == form::Role::Answer ? shownText() : u"", value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        if (!isSelf(child))
            return E_INVALIDARG;
        return giveText(api_, form::accessibleDescription(row_), description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        if (!role)
            return E_POINTER;
        if (!isSelf(child))
            return E_INVALIDARG;
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
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        // A label's underlined letter only points at the button it names.
        if (row_.kind != form::ControlKind::Button)
            return isSelf(child) ? giveText(api_, u"", shortcut) : E_INVALIDARG;
        return DelegatingObject::get_accKeyboardShortcut(child, shortcut);
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        const HRESULT done = DelegatingObject::accDoDefaultAction(child);
        // A system whose standard object cannot press a button (Wine's) gets
        // the click a press is; posted, so that the caller is answered first.
        if (done == E_NOTIMPL && row_.kind == form::ControlKind::Button && isSelf(child))
            return PostMessageW(handle_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
        return done;
    }

private:
    std::u16string shownText() const
    {
        return form::ShownCaption::fromCaption(windowText(handle_)).text;
    }

    const form::ControlSpec &row_;
    HWND handle_;
    FormObject *form_; // null once the window is gone
};

// The window's client area: its children are the readable controls, in
// reading order.
class FormObject final : public DelegatingObject
{
public:
    FormObject(const AccessibilityApi &api, IAccessible *standard, HWND window) noexcept
        : DelegatingObject(api, standard), window_(window)
    {}

    // Takes over `child`'s reference.
    void adopt(ControlObject *child) { children_.push_back(child); }

    // Lets go of the children, which no longer know this object.
    void detach() noexcept
    {
        for (ControlObject *child : children_) {
            child->detach();
            child->Release();
        }
        children_.clear();
    }

    ControlObject *childFor(HWND handle) const noexcept
    {
        const auto found = std::ranges::find(children_, handle, &ControlObject::handle);
        return found == children_.end() ? nullptr : *found;
    }

    // The child before or after `child` in reading order, as a VARIANT.
    HRESULT sibling(const ControlObject *child, LONG direction, VARIANT *end) const noexcept
    {
        const auto at = std::ranges::find(children_, child);
        const std::ptrdiff_t step = direction == NAVDIR_NEXT ? 1 : -1;
        const std::ptrdiff_t index = (at - children_.begin()) + step;
        if (at == children_.end() || index < 0 ||
            index >= static_cast<std::ptrdiff_t>(children_.size()))
            return S_FALSE;
        return give(children_[static_cast<std::size_t>(index)], end);
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<LONG>(children_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        ControlObject *found = childAt(child);
        if (!found)
            return E_INVALIDARG;
        found->AddRef();
        *object = found;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override
    {
        if (!end)
            return E_POINTER;
        *end = VARIANT{};
        if (isSelf(start) && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)) {
            if (children_.empty())
                return S_FALSE;
            return give(direction == NAVDIR_FIRSTCHILD ? children_.front() : children_.back(), end);
        }
        if (const ControlObject *child = childAt(start);
            child && (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS))
            return sibling(child, direction, end);
        return DelegatingObject::accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *hit) override
    {
        if (!hit)
            return E_POINTER;
        *hit = VARIANT{};
        POINT point{x, y};
        RECT client{};
        ScreenToClient(window_, &point);
        GetClientRect(window_, &client);
        if (!PtInRect(&client, point))
            return S_FALSE;
        // The control drawn at the point; a line or the background is the window.
        const HWND under = ChildWindowFromPointEx(window_, point, CWP_SKIPINVISIBLE);
        if (ControlObject *child = childFor(under))
            return give(child, hit);
        *hit = self();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override
    {
        if (!focus)
            return E_POINTER;
        *focus = VARIANT{};
        const HWND focused = GetFocus();
        if (ControlObject *child = childFor(focused))
            return give(child, focus);
        if (focused == window_) {
            *focus = self();
            return S_OK;
        }
        return S_FALSE;
    }

protected:
    ~FormObject() override { detach(); }

    IAccessible *target(const VARIANT &child, VARIANT &id) override
    {
        if (isSelf(child))
            return standard_;
        ControlObject *found = childAt(child);
        id = self();
        return found;
    }

private:
    ControlObject *childAt(const VARIANT &child) const noexcept
    {
        if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<LONG>(children_.size()))
            return nullptr;
        return children_[static_cast<std::size_t>(child.lVal - 1)];
    }

    static HRESULT give(ControlObject *child, VARIANT *out) noexcept
    {
        child->AddRef();
        out->vt = VT_DISPATCH;
        out->pdispVal = child;
        return S_OK;
    }

    HWND window_;
    std::vector<ControlObject *> children_;
};

HRESULT STDMETHODCALLTYPE ControlObject::get_accParent(IDispatch **parent)
{
    if (!parent)
        return E_POINTER;
    *parent = form_;
    if (!form_)
        return S_FALSE;
    form_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlObject::accNavigate(LONG direction, VARIANT start, VARIANT *end)
{
    if (!end)
        return E_POINTER;
    *end = VARIANT{};
    if (form_ && isSelf(start) && (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS))
        return form_->sibling(this, direction, end);
    return DelegatingObject::accNavigate(direction, start, end);
}

WindowAccessibility::WindowAccessibility(HWND window, const std::vector<Control> &controls)
    : window_(window)
{
    for (const form::ControlSpec *row : form::readingOrder()) {
        const auto found = std::ranges::find(controls, row, &Control::row);
        if (found == controls.end())
            continue;
        readable_.push_back(*found);
        SetWindowSubclass(found->handle, controlProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    }
}

WindowAccessibility::~WindowAccessibility()
{
    for (const Control &control : readable_)
        RemoveWindowSubclass(control.handle, controlProcedure, 0);
    if (properties_) {
        properties_->ClearHwndProps(liveRegion_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    &kLiveSettingProperty, 1);
        properties_->Release();
    }
    if (form_) {
        form_->detach();
        form_->Release();
    }
    if (comStarted_)
        AccessibilityApi::system().coUninitialize();
}

LRESULT CALLBACK WindowAccessibility::controlProcedure(HWND control, UINT message, WPARAM wParam,
                                                       LPARAM lParam, UINT_PTR, DWORD_PTR owner)
{
    if (message == WM_GETOBJECT) {
        if (const auto answer =
                reinterpret_cast<WindowAccessibility *>(owner)->objectFor(control, wParam, lParam))
            return *answer;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

bool WindowAccessibility::ready()
{
    if (form_)
        return true;
    const AccessibilityApi &api = AccessibilityApi::system();
    if (!api.complete())
        return false;
    // Handing an object to another process goes through COM, in this thread.
    if (!comStarted_) {
        const HRESULT started = api.coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(started) && started != RPC_E_CHANGED_MODE)
            return false;
        comStarted_ = SUCCEEDED(started);
    }
    const auto standardFor = [&](HWND handle) {
        IAccessible *standard = nullptr;
        if (FAILED(api.createStdAccessibleObject(handle, OBJID_CLIENT, __uuidof(IAccessible),
                                                 reinterpret_cast<void **>(&standard))))
            return static_cast<IAccessible *>(nullptr);
        return standard;
    };
    IAccessible *standard = standardFor(window_);
    if (!standard)
        return false;
    form_ = new FormObject(api, standard, window_);
    for (const Control &control : readable_) {
        if (IAccessible *own = standardFor(control.handle))
            form_->adopt(new ControlObject(api, own, *control.row, control.handle, form_));
    }
    return true;
}

std::optional<LRESULT> WindowAccessibility::objectFor(HWND target, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !ready())
        return std::nullopt;
    IAccessible *object = target == window_ ? static_cast<IAccessible *>(form_)
                                            : static_cast<IAccessible *>(form_->childFor(target));
    if (!object)
        return std::nullopt;
    return AccessibilityApi::system().lresultFromObject(__uuidof(IAccessible), wParam, object);
}

bool WindowAccessibility::markLiveRegion(HWND control)
{
    if (liveRegion_ == control)
        return true;
    // Only where a client has asked for the window's objects: a click loads
    // and starts nothing for nobody.
    if (liveRegion_ || !form_)
        return false;
    IAccPropServices *properties = nullptr;
    if (FAILED(AccessibilityApi::system().coCreateInstance(
            kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kAccPropServicesInterface,
            reinterpret_cast<void **>(&properties))))
        return false;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPoliteLiveSetting;
    if (FAILED(properties->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       kLiveSettingProperty, polite))) {
        properties->Release();
        return false;
    }
    properties_ = properties;
    liveRegion_ = control;
    return true;
}

void WindowAccessibility::announceTextChange(HWND control)
{
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    // Where the system has live regions, a screen reader speaks the new text
    // even while the focus is elsewhere.
    if (markLiveRegion(control))
        NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}
