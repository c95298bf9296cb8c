#pragma once

#include "AccessibleObject.h"
#include "DelegatingObject.h"
#include "WindowTable.h"

#include <oleacc.h>
#include <string>

class FormObject;

// What a control was last announced as: its accessible name while it still
// shows the text it showed then.
struct Announcement
{
    HWND control = nullptr;
    std::u16string shown;
    std::u16string spoken;
};

// MSAA's role for each of the window's: this table is all the view decides.
// (MSAA has no relations: which label describes a button, and which control
// Calculate changes, reach a reader as the description alone.)
constexpr LONG msaaRole(form::AccessibleRole role) noexcept
{
    switch (role) {
    case form::AccessibleRole::Window:
        return ROLE_SYSTEM_DIALOG;
    case form::AccessibleRole::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case form::AccessibleRole::StaticText:
        return ROLE_SYSTEM_STATICTEXT;
    case form::AccessibleRole::Graphic:
        return ROLE_SYSTEM_GRAPHIC;
    case form::AccessibleRole::Separator:
        break;
    }
    return ROLE_SYSTEM_SEPARATOR;
}

// One readable control: its standard object, with the role, name,
// description and value form::AccessibleObject gives it.
class ControlObject final : public DelegatingObject
{
public:
    ControlObject(const AccessibilityApi &api, ComReference<IAccessible> standard,
                  const form::ControlSpec &row, HWND handle, FormObject *form) noexcept
        : DelegatingObject(api, std::move(standard), handle), row_(row), form_(form)
    {}

    HWND handle() const noexcept { return own_; }
    void announced(Announcement announcement) noexcept { announced_ = std::move(announcement); }
    void disconnect() noexcept override;

    STDMETHODIMP get_accParent(IDispatch **parent) override;
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT *end) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR *name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR *value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR *description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT *role) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;

private:
    // A question only this object itself answers: no child of it.
    template <typename Out, typename Ask> HRESULT own(const VARIANT &child, Out *out, Ask ask)
    {
        return answer([&] { return isSelf(child) ? ask() : E_INVALIDARG; }, out);
    }

    // What the control is to assistive technology, showing what it shows now.
    form::AccessibleObject described() const;

    const form::ControlSpec &row_;
    FormObject *form_; // null once disconnected
    Announcement announced_;
};
