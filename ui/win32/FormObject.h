#pragma once

#include "ControlObject.h"

#include <vector>

// The window's client area, the window's own object to a reader: its role
// and name as form::accessibleWindow() gives them; its children the readable
// controls, in reading order.
class FormObject final : public DelegatingObject
{
public:
    FormObject(const AccessibilityApi &api, ComReference<IAccessible> standard,
               HWND window) noexcept
        : DelegatingObject(api, std::move(standard), window)
    {}

    void adopt(ComReference<ControlObject> child) { children_.push_back(std::move(child)); }

    // The children go defunct with it, and are let go of.
    void disconnect() noexcept override;

    ControlObject *childFor(HWND handle) const noexcept;
    // Tells the child `announced.control` what it was announced as; the
    // others forget theirs.
    void announce(Announcement announced) noexcept;
    // The child before or after `child` in reading order, as a VARIANT.
    HRESULT sibling(const ControlObject *child, LONG direction, VARIANT *end) const noexcept;

    STDMETHODIMP get_accChildCount(LONG *count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch **object) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR *name) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT *role) override;
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT *end) override;
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT *hit) override;
    STDMETHODIMP get_accFocus(VARIANT *focus) override;

protected:
    ~FormObject() override { disconnect(); }

    IAccessible *target(const VARIANT &child, VARIANT &id) override;

private:
    ControlObject *childAt(const VARIANT &child) const noexcept;

    std::vector<ComReference<ControlObject>> children_;
};
