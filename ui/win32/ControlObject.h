#pragma once

#include "DelegatingObject.h"
#include "WindowTable.h"

class FormObject;

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

    const form::ControlSpec &row_;
    FormObject *form_; // null once disconnected
};
