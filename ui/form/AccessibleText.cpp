#include "AccessibleText.h"

namespace form {
namespace {

// Calls `keep(index)` for each character of `shown` that the accessible
// text keeps, in order; stops when `keep` answers false.
template <typename Keep> void forEachKept(std::u16string_view shown, Keep keep)
{
    bool pendingSpace = false;
    bool started = false;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == u' ') {
            pendingSpace = started;
            continue;
        }
        if (pendingSpace && !keep(i - 1))
            return;
        pendingSpace = false;
        started = true;
        if (!keep(i))
            return;
    }
}

} // namespace

std::u16string accessibleText(std::u16string_view shown)
{
    std::u16string text;
    text.reserve(shown.size());
    forEachKept(shown, [&](std::size_t index) {
        text += shown[index];
        return true;
    });
    return text;
}

std::size_t shownOffset(std::u16string_view shown, std::size_t offset) noexcept
{
    std::size_t found = shown.size();
    std::size_t count = 0;
    forEachKept(shown, [&](std::size_t index) {
        if (count++ < offset)
            return true;
        found = index;
        return false;
    });
    return found;
}

} // namespace form
