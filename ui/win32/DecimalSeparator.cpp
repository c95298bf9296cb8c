#include "DecimalSeparator.h"

#include <windows.h>

namespace {

// The user locale's separator: as the user set it, or with `flags`
// LOCALE_NOUSEROVERRIDE the locale's own. Empty where the system has none.
std::u16string localeSeparator(LCTYPE flags)
{
    const int length =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL | flags, nullptr, 0);
    if (length <= 1)
        return {};
    std::u16string separator(static_cast<std::size_t>(length), u'\0');
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL | flags,
                        reinterpret_cast<wchar_t *>(separator.data()), length) == 0)
        return {};
    separator.resize(static_cast<std::size_t>(length - 1)); // the terminating null
    return separator;
}

} // namespace

form::DecimalSeparators userDecimalSeparators()
{
    return {localeSeparator(0), localeSeparator(LOCALE_NOUSEROVERRIDE)};
}
