// The page's calls into the window. None lets an exception out: one that
// leaves a handler is reported in the window's error box, and where even
// that fails, the window ends with the status of a reported error.

#include "Browser.h"
#include "ErrorReport.h"
#include "Form1.h"
#include "Script.h"

#include <emscripten/emscripten.h>

namespace web {
namespace {

template <typename Handler> void dispatch(Form1 *form, Handler &&handler) noexcept
{
    try {
        handler();
    } catch (...) {
        try {
            form->reportError(std::current_exception());
        } catch (...) {
            form->end(form::kExitStatusReportedError);
        }
    }
}

} // namespace

void openWindow(calc::Calculation sumSeries) noexcept
{
    std::set_terminate(trapOnTerminate);
    Form1 *form = nullptr;
    try {
        form = new Form1(std::move(sumSeries)); // the page's until the window ends
    } catch (...) {
        endPage(nullptr, form::kExitStatusReportedError);
        return;
    }
    dispatch(form, [&] {
        form->open();
        listenToKeys(form);
        listenToColourScheme(form, Form1::kColourSchemeChanged);
    });
}

} // namespace web

extern "C" {

EMSCRIPTEN_KEEPALIVE void vantrel_event(web::Form1 *form, int event) noexcept
{
    web::dispatch(form, [&] { form->handle(event); });
}

EMSCRIPTEN_KEEPALIVE int vantrel_key(web::Form1 *form, int key, int tab, int modifiers) noexcept
{
    bool taken = false;
    web::dispatch(form, [&] { taken = form->keyDown(static_cast<char16_t>(key), tab, modifiers); });
    return taken;
}

// Once the window has ended, when no call into it is still running.
EMSCRIPTEN_KEEPALIVE void vantrel_destroy(web::Form1 *form) noexcept
{
    delete form;
}
}
