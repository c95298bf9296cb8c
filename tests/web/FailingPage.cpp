// The page with a Calculate that fails, as the desktop tests inject it: the
// factorial leaves its range at the first term.

#include "Form1.h"

#include <emscripten/emscripten.h>

extern "C" EMSCRIPTEN_KEEPALIVE void vantrel_start()
{
    web::openWindow([] { return calc::sumSeriesFrom({0.0, 1.0, 171}, calc::seriesTerm); });
}
