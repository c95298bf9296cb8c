#include "DecimalSeparator.h"

#include <QString>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <type_traits>

namespace {

// A locale object of the C library is freed by whoever holds it.
struct FreeLocale
{
    void operator()(locale_t locale) const noexcept { freelocale(locale); }
};

// The calling thread's locale while this lives; other threads and the
// process's global locale are untouched.
class ThreadLocale
{
public:
    explicit ThreadLocale(locale_t locale) noexcept : previous_(uselocale(locale)) {}
    ThreadLocale(const ThreadLocale &) = delete;
    ThreadLocale &operator=(const ThreadLocale &) = delete;
    ~ThreadLocale() { uselocale(previous_); }

private:
    locale_t previous_;
};

// The locale the C library takes the numeric category from.
const char *numericLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char *name = std::getenv(variable);
        if (name && *name)
            return name;
    }
    return "C";
}

} // namespace

form::DecimalSeparators userDecimalSeparators()
{
    // The numeric category together with the character set it is written in
    // (a locale need not be UTF-8: "ru_RU" alone is ISO-8859-5).
    const std::unique_ptr<std::remove_pointer_t<locale_t>, FreeLocale> numeric(
        newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, numericLocaleName(), locale_t{}));
    if (!numeric)
        return {};
    // One character, which the C library's locale compiler insists on.
    const char *point = nl_langinfo_l(RADIXCHAR, numeric.get());
    const std::size_t bytes = std::strlen(point);
    wchar_t separator = 0;
    std::size_t used = 0;
    {
        const ThreadLocale converting(numeric.get());
        std::mbstate_t state{};
        used = std::mbrtowc(&separator, point, bytes, &state);
    }
    if (used == 0 || used > bytes)
        return {};
    return {QString::fromWCharArray(&separator, 1).toStdU16String()};
}
