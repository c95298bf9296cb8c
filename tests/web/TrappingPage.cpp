// The page with a module that stops by a fault of its own, as a real trap or
// abort would stop it: the address's fragment says where. "#start": a trap
// once the window is built, still inside the start; "#abort": an abort in
// Calculate; otherwise a trap in Calculate.

#include "Form1.h"

#include <cstdlib>
#include <emscripten/emscripten.h>

EM_JS(int, fragment_is, (const char *fragment), {
    return location.hash === UTF8ToString(fragment) ? 1 : 0;
});

extern "C" EMSCRIPTEN_KEEPALIVE void vantrel_start()
{
    const bool abort = fragment_is("#abort");
    web::openWindow([abort]() -> calc::SeriesSum {
        if (abort)
            std::abort();
        __builtin_trap();
    });
    if (fragment_is("#start"))
        __builtin_trap();
}
