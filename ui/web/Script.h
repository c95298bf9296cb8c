#pragma once

// Calls into the page's script. A JavaScript exception must never enter the
// WebAssembly: catch (...) does not catch it, and in a noexcept frame it ends
// in std::terminate, whose abort throws one more into the same frame, over
// and over. The page's side of every call catches it instead and says so,
// and call() turns that into a ScriptError here, which the window reports as
// it reports its own errors.

#include <exception>
#include <type_traits>
#include <utility>

namespace web {

class ScriptError : public std::exception
{
public:
    const char *what() const noexcept override { return "the page's script failed"; }
};

// True once since the last call into the page's script failed.
bool takeScriptFailure() noexcept;

// `import(arguments...)`, throwing ScriptError where the script failed.
template <typename Import, typename... Arguments>
auto callScript(Import import, Arguments &&...arguments)
{
    if constexpr (std::is_void_v<std::invoke_result_t<Import, Arguments...>>) {
        import(std::forward<Arguments>(arguments)...);
        if (takeScriptFailure())
            throw ScriptError();
    } else {
        auto result = import(std::forward<Arguments>(arguments)...);
        if (takeScriptFailure())
            throw ScriptError();
        return result;
    }
}

// For the calls that must not throw (letting go of a node, the page's end):
// a failure, which the page has logged, changes nothing more.
template <typename Import, typename... Arguments>
void callScriptIgnoringFailure(Import import, Arguments &&...arguments) noexcept
{
    import(std::forward<Arguments>(arguments)...);
    takeScriptFailure();
}

// Where an exception leaves a noexcept frame after all: the page is ended by
// a WebAssembly trap, which no handler catches, instead of abort's
// JavaScript exception, which every noexcept frame would catch again.
[[noreturn]] void trapOnTerminate() noexcept;

} // namespace web
