#include "DecimalSeparator.h"

#include <windows.h>

namespace {

bool usable(std::wstring_view separator) noexcept
{
    return !separator.empty() && separator.size() <= kLongestDecimalSeparator;
}

// The user locale's separator: as the user set it, or with `flags`
// LOCALE_NOUSEROVERRIDE the locale's own. Empty where the system has none.
std::wstring localeSeparator(LCTYPE flags)
{
    const int length =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL | flags, nullptr, 0);
    if (length <= 1)
        return {};
    std::wstring separator(static_cast<std::size_t>(length), L'\0');
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL | flags, separator.data(),
                        length) == 0)
        return {};
    separator.resize(static_cast<std::size_t>(length - 1)); // the terminating null
    return separator;
}

} // namespace

std::wstring_view usableDecimalSeparator(std::wstring_view user, std::wstring_view locale) noexcept
{
    if (usable(user))
        return user;
    return usable(locale) ? locale : L".";
}

std::wstring decimalSeparator()
{
    const std::wstring user = localeSeparator(0);
    const std::wstring locale =
        usable(user) ? std::wstring() : localeSeparator(LOCALE_NOUSEROVERRIDE);
    return std::wstring(usableDecimalSeparator(user, locale));
}
