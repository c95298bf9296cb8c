#include "DelegatingObject.h"

#include <utility>

HRESULT giveText(const AccessibilityApi &api, std::u16string_view text, BSTR *out) noexcept
{
    if (text.empty())
        return S_FALSE;
    *out = api.sysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.data()),
                                 static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

DelegatingObject::DelegatingObject(const AccessibilityApi &api, ComReference<IAccessible> standard,
                                   HWND own) noexcept
    : api_(api), standard_(std::move(standard)), own_(own)
{}

STDMETHODIMP DelegatingObject::QueryInterface(REFIID iid, void **object)
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

STDMETHODIMP_(ULONG) DelegatingObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

STDMETHODIMP_(ULONG) DelegatingObject::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP DelegatingObject::GetWindow(HWND *window)
{
    return answer(
        [&] {
            *window = own_;
            return S_OK;
        },
        window);
}
