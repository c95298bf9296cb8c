#include "ControlObject.h"

#include "FormObject.h"
#include "WideText.h"

void ControlObject::disconnect() noexcept
{
    form_ = nullptr;
    DelegatingObject::disconnect();
}

STDMETHODIMP ControlObject::get_accParent(IDispatch **parent)
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

STDMETHODIMP ControlObject::accNavigate(LONG direction, VARIANT start, VARIANT *end)
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

form::AccessibleObject ControlObject::described() const
{
    const std::u16string shown = windowText(own_);
    form::AccessibleObject object = form::accessibleObject(row_, shown);
    // A reader hears the announcement as the name that changed.
    if (announced_.control == own_ && announced_.shown == shown)
        object.name = announced_.spoken;
    return object;
}

STDMETHODIMP ControlObject::get_accName(VARIANT child, BSTR *name)
{
    return own(child, name, [&] { return giveText(api_, described().name, name); });
}

STDMETHODIMP ControlObject::get_accValue(VARIANT child, BSTR *value)
{
    return own(child, value, [&] { return giveText(api_, described().value, value); });
}

STDMETHODIMP ControlObject::get_accDescription(VARIANT child, BSTR *description)
{
    return own(child, description,
               [&] { return giveText(api_, described().description, description); });
}

STDMETHODIMP ControlObject::get_accRole(VARIANT child, VARIANT *role)
{
    return own(child, role, [&] {
        role->vt = VT_I4;
        role->lVal = msaaRole(described().role);
        return S_OK;
    });
}

STDMETHODIMP ControlObject::get_accKeyboardShortcut(VARIANT child, BSTR *shortcut)
{
    // A label's underlined letter only points at the button it names.
    if (row_.kind != form::ControlKind::Button)
        return own(child, shortcut, [] { return S_FALSE; });
    return DelegatingObject::get_accKeyboardShortcut(child, shortcut);
}

STDMETHODIMP ControlObject::accDoDefaultAction(VARIANT child)
{
    const HRESULT done = DelegatingObject::accDoDefaultAction(child);
    // A system whose standard object cannot press a button (Wine's) gets
    // the click a press is; posted, so that the caller is answered first.
    if (done == E_NOTIMPL && row_.kind == form::ControlKind::Button && isSelf(child))
        return PostMessageW(own_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
    return done;
}
