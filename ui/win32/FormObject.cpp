#include "FormObject.h"

#include <algorithm>

namespace {

HRESULT give(ControlObject *child, VARIANT *out) noexcept
{
    child->AddRef();
    out->vt = VT_DISPATCH;
    out->pdispVal = child;
    return S_OK;
}

} // namespace

void FormObject::disconnect() noexcept
{
    for (const ComReference<ControlObject> &child : children_)
        child->disconnect();
    children_.clear();
    DelegatingObject::disconnect();
}

ControlObject *FormObject::childFor(HWND handle) const noexcept
{
    for (const ComReference<ControlObject> &child : children_) {
        if (child->handle() == handle)
            return child.get();
    }
    return nullptr;
}

void FormObject::announce(Announcement announced) noexcept
{
    for (const ComReference<ControlObject> &child : children_)
        child->announced(child->handle() == announced.control ? std::move(announced)
                                                              : Announcement{});
}

HRESULT FormObject::sibling(const ControlObject *child, LONG direction, VARIANT *end) const noexcept
{
    const auto at = std::ranges::find(children_, child, &ComReference<ControlObject>::get);
    const std::ptrdiff_t step = direction == NAVDIR_NEXT ? 1 : -1;
    const std::ptrdiff_t index = (at - children_.begin()) + step;
    if (at == children_.end() || index < 0 ||
        index >= static_cast<std::ptrdiff_t>(children_.size()))
        return S_FALSE;
    return give(children_[static_cast<std::size_t>(index)].get(), end);
}

STDMETHODIMP FormObject::get_accChildCount(LONG *count)
{
    return answer(
        [&] {
            *count = static_cast<LONG>(children_.size());
            return S_OK;
        },
        count);
}

STDMETHODIMP FormObject::get_accChild(VARIANT child, IDispatch **object)
{
    return answer(
        [&] {
            ControlObject *found = childAt(child);
            if (found)
                found->AddRef();
            *object = found;
            return found ? S_OK : E_INVALIDARG;
        },
        object);
}

STDMETHODIMP FormObject::get_accName(VARIANT child, BSTR *name)
{
    if (!isSelf(child))
        return DelegatingObject::get_accName(child, name);
    return answer([&] { return giveText(api_, form::accessibleWindow().name, name); }, name);
}

STDMETHODIMP FormObject::get_accRole(VARIANT child, VARIANT *role)
{
    if (!isSelf(child))
        return DelegatingObject::get_accRole(child, role);
    return answer(
        [&] {
            role->vt = VT_I4;
            role->lVal = msaaRole(form::accessibleWindow().role);
            return S_OK;
        },
        role);
}

STDMETHODIMP FormObject::accNavigate(LONG direction, VARIANT start, VARIANT *end)
{
    return answer(
        [&] {
            const bool ends = direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
            if (isSelf(start) && ends && children_.empty())
                return S_FALSE;
            if (isSelf(start) && ends)
                return give(
                    (direction == NAVDIR_FIRSTCHILD ? children_.front() : children_.back()).get(),
                    end);
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

STDMETHODIMP FormObject::accHitTest(LONG x, LONG y, VARIANT *hit)
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

STDMETHODIMP FormObject::get_accFocus(VARIANT *focus)
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

IAccessible *FormObject::target(const VARIANT &child, VARIANT &id)
{
    if (isSelf(child))
        return standard_.get();
    id = self();
    return childAt(child);
}

ControlObject *FormObject::childAt(const VARIANT &child) const noexcept
{
    if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<LONG>(children_.size()))
        return nullptr;
    return children_[static_cast<std::size_t>(child.lVal - 1)].get();
}
