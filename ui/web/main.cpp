#include "Form1.h"

#include <emscripten/emscripten.h>

// The page calls this once its faces are ready, so that the captions are
// measured in them.
extern "C" EMSCRIPTEN_KEEPALIVE void vantrel_start()
{
    web::openWindow(calc::sumSeries);
}
