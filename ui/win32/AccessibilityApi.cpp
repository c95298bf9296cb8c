#include "AccessibilityApi.h"

namespace {

HMODULE fromSystemFolder(const wchar_t *name) noexcept
{
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

template <typename Function> void find(HMODULE library, const char *name, Function &function)
{
    if (library)
        function =
            reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)));
}

} // namespace

bool AccessibilityApi::complete() const noexcept
{
    return createStdAccessibleObject && lresultFromObject && coInitializeEx && coUninitialize &&
           sysAllocStringLen;
}

const AccessibilityApi &AccessibilityApi::system()
{
    static const AccessibilityApi api = [] {
        AccessibilityApi loaded;
        const HMODULE oleacc = fromSystemFolder(L"oleacc.dll");
        find(oleacc, "CreateStdAccessibleObject", loaded.createStdAccessibleObject);
        find(oleacc, "LresultFromObject", loaded.lresultFromObject);
        const HMODULE ole32 = fromSystemFolder(L"ole32.dll");
        find(ole32, "CoInitializeEx", loaded.coInitializeEx);
        find(ole32, "CoUninitialize", loaded.coUninitialize);
        find(ole32, "CoCreateInstance", loaded.coCreateInstance);
        const HMODULE oleaut32 = fromSystemFolder(L"oleaut32.dll");
        find(oleaut32, "SysAllocStringLen", loaded.sysAllocStringLen);
        return loaded;
    }();
    return api;
}
