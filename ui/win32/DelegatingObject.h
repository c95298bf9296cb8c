#pragma once

#include "AccessibilityApi.h"
#include "ComReference.h"

#include <new>
#include <string_view>
#include <type_traits>
#include <windows.h>

// An MSAA child id that means the object itself.
inline bool isSelf(const VARIANT &child) noexcept
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

inline VARIANT self() noexcept
{
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = CHILDID_SELF;
    return id;
}

// A text handed out as a BSTR; an empty one as none (S_FALSE), as MSAA has it.
HRESULT giveText(const AccessibilityApi &api, std::u16string_view text, BSTR *out) noexcept;

// An accessible object that hands every question to another (the system's
// standard object for the same window), except those its subclass answers
// itself. Once disconnected it lets go of that object and answers nothing.
class DelegatingObject : public IAccessible, public IOleWindow
{
public:
    DelegatingObject(const AccessibilityApi &api, ComReference<IAccessible> standard,
                     HWND own) noexcept;
    DelegatingObject(const DelegatingObject &) = delete;
    DelegatingObject &operator=(const DelegatingObject &) = delete;

    // The window is going: from now on every question is answered
    // CO_E_OBJNOTCONNECTED, and no window is touched.
    virtual void disconnect() noexcept { standard_.reset(); }

    STDMETHODIMP QueryInterface(REFIID iid, void **object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // The object's own window: a client takes the window's class from it.
    STDMETHODIMP GetWindow(HWND *window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return refuse(); }

    // Clients reach the properties through IAccessible, not by name.
    STDMETHODIMP GetTypeInfoCount(UINT *count) override
    {
        return answer([] { return S_OK; }, count);
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override { return refuse(info); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return refuse();
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                        UINT *) override
    {
        return refuse();
    }

    // Every question goes to the standard object, or where it names a child,
    // to whoever answers for that child.
    STDMETHODIMP get_accParent(IDispatch **parent) override
    {
        return forward(&IAccessible::get_accParent, parent);
    }
    STDMETHODIMP get_accChildCount(LONG *count) override
    {
        return forward(&IAccessible::get_accChildCount, count);
    }
    // (The child asked for is the standard object's to find, not a child to ask.)
    STDMETHODIMP get_accChild(VARIANT child, IDispatch **object) override
    {
        return answer([&] { return standard_->get_accChild(child, object); }, object);
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR *name) override
    {
        return forward(&IAccessible::get_accName, child, name);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR *value) override
    {
        return forward(&IAccessible::get_accValue, child, value);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR *description) override
    {
        return forward(&IAccessible::get_accDescription, child, description);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT *role) override
    {
        return forward(&IAccessible::get_accRole, child, role);
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT *state) override
    {
        return forward(&IAccessible::get_accState, child, state);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR *help) override
    {
        return forward(&IAccessible::get_accHelp, child, help);
    }
    STDMETHODIMP get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override
    {
        return forward(&IAccessible::get_accHelpTopic, file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return forward(&IAccessible::get_accKeyboardShortcut, child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT *focus) override
    {
        return forward(&IAccessible::get_accFocus, focus);
    }
    // Nothing here is selectable.
    STDMETHODIMP get_accSelection(VARIANT *selection) override
    {
        return answer([] { return S_OK; }, selection);
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return forward(&IAccessible::get_accDefaultAction, child, action);
    }
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override
    {
        return forward(&IAccessible::accSelect, flags, child);
    }
    STDMETHODIMP accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                             VARIANT child) override
    {
        return forward(&IAccessible::accLocation, left, top, width, height, child);
    }
    // (accNavigate is each object's own: the standard object numbers its
    // window's children in z-order, not in the reading order handed out.)
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT *hit) override
    {
        return forward(&IAccessible::accHitTest, x, y, hit);
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override
    {
        return forward(&IAccessible::accDoDefaultAction, child);
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return refuse(); }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return refuse(); }

protected:
    virtual ~DelegatingObject() = default;

    // Every method's one way in: its [out] parameters (every pointer an
    // IAccessible method takes) checked and emptied, nothing answered once
    // disconnected, and no exception let out into the caller's frames.
    template <typename Ask, typename... Arguments>
    HRESULT answer(Ask ask, Arguments... arguments) noexcept
    {
        if (!(given(arguments) && ...))
            return E_POINTER;
        (empty(arguments), ...);
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

    // What the object does not do.
    template <typename... Out> HRESULT refuse(Out *...out) noexcept
    {
        return answer([] { return E_NOTIMPL; }, out...);
    }

    // Who answers for `child`, and as which child of it (`id`); nullptr
    // where there is no such child.
    virtual IAccessible *target(const VARIANT &child, VARIANT &id)
    {
        (void)id;
        return isSelf(child) ? standard_.get() : nullptr;
    }

    // `method` of whoever answers for the child among the arguments (the one
    // VARIANT), asked as that one's child; without one, of the standard
    // object, as asked.
    template <typename Method, typename... Arguments>
    HRESULT forward(Method method, Arguments... arguments) noexcept
    {
        return answer(
            [&] {
                VARIANT id{};
                IAccessible *to = standard_.get();
                const auto route = [&](const auto &argument) {
                    if constexpr (isChild<decltype(argument)>) {
                        id = argument;
                        to = target(argument, id);
                    }
                };
                (route(arguments), ...);
                const auto passed = [&](auto argument) {
                    if constexpr (isChild<decltype(argument)>)
                        return id;
                    else
                        return argument;
                };
                return to ? (to->*method)(passed(arguments)...) : E_INVALIDARG;
            },
            arguments...);
    }

    const AccessibilityApi &api_;
    ComReference<IAccessible> standard_; // null once disconnected
    const HWND own_;

private:
    template <typename Argument>
    static constexpr bool isChild = std::is_same_v<std::decay_t<Argument>, VARIANT>;

    template <typename Argument> static bool given(Argument argument) noexcept
    {
        if constexpr (std::is_pointer_v<Argument>)
            return argument != nullptr;
        return true;
    }
    // An [out] parameter as it is handed back on failure: empty.
    template <typename Argument> static void empty(Argument argument) noexcept
    {
        if constexpr (std::is_pointer_v<Argument>)
            *argument = {};
    }

    LONG references_ = 1;
};
