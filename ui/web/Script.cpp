#include "Script.h"

#include <emscripten/emscripten.h>

namespace web {
namespace {

bool scriptFailed = false;

} // namespace

bool takeScriptFailure() noexcept
{
    return std::exchange(scriptFailed, false);
}

void trapOnTerminate() noexcept
{
    __builtin_trap();
}

} // namespace web

// The page's side of a call reports here that its script threw.
extern "C" EMSCRIPTEN_KEEPALIVE void vantrel_script_failed() noexcept
{
    web::scriptFailed = true;
}
