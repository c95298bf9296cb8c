// The page's calls into its windows, each named by a handle of the page's
// own. None lets an exception out: one that leaves a handler is reported in
// the window's error box, and where even that fails, the window ends with the
// status of a reported error.

#include "ErrorReport.h"
#include "Form1.h"

#include <emscripten/emscripten.h>
#include <memory>

namespace web {
namespace {

// The page's one window, the handle it was opened with (a call for an
// older one finds none), and how deep the page's calls into it run: once it
// has ended, it is destroyed when none is running any more.
struct OpenWindow
{
    std::unique_ptr<Form1> form;
    int lastHandle = 0;
    int depth = 0;
};

OpenWindow &theWindow() noexcept
{
    static OpenWindow window;
    return window;
}

template <typename Handler> bool dispatch(int window, Handler &&handler) noexcept
{
    OpenWindow &open = theWindow();
    if (!open.form || open.form->handle() != window)
        return false;
    Form1 &form = *open.form;
    bool taken = false;
    ++open.depth;
    try {
        taken = handler(form);
    } catch (...) {
        form.fail(std::current_exception());
    }
    if (--open.depth == 0 && form.closed())
        open.form.reset();
    return taken;
}

// Where an exception leaves a noexcept frame after all: the page is ended by
// a WebAssembly trap, which no handler catches, instead of abort's
// JavaScript exception, which every noexcept frame would catch again.
[[noreturn]] void trapOnTerminate() noexcept
{
    __builtin_trap();
}

} // namespace

int openWindow(calc::Calculation calculation,
               std::optional<form::DecimalSeparators> separators) noexcept
{
    std::set_terminate(trapOnTerminate);
    OpenWindow &open = theWindow();
    const int handle = ++open.lastHandle;
    std::unique_ptr<Form1> form;
    try {
        form = std::make_unique<Form1>(handle, std::move(calculation), std::move(separators));
    } catch (...) {
        // A page has no plain box: the notice that the window is
        // unavailable, which ending the page shows, stands for it.
        endPage(0, form::reportWithoutWindow(std::current_exception(), nullptr));
        return 0;
    }
    // The window before it goes only once this one stands.
    if (open.form)
        forgetWindow(open.form->handle());
    open.form = std::move(form);
    dispatch(handle, [&](Form1 &form) {
        form.open();
        return true;
    });
    return handle;
}

// For the window's tests only, declared there: a failure outside the window's
// handlers, and a window destroyed with the page left as it is.
void failWindow(int window, const std::exception_ptr &error) noexcept
{
    dispatch(window, [&](Form1 &) -> bool { std::rethrow_exception(error); });
}

void destroyWindow(int window) noexcept
{
    forgetWindow(window);
    OpenWindow &open = theWindow();
    if (open.form && open.form->handle() == window)
        open.form.reset();
}

} // namespace web

extern "C" {

EMSCRIPTEN_KEEPALIVE void vantrel_event(int window, int event, int node) noexcept
{
    web::dispatch(window, [&](web::Form1 &form) {
        form.handle(static_cast<web::Event>(event), node);
        return true;
    });
}

EMSCRIPTEN_KEEPALIVE int vantrel_key(int window, int key, int tab, int shift, int alt,
                                     int controlOrMeta) noexcept
{
    return web::dispatch(window, [&](web::Form1 &form) {
        return form.keyDown(static_cast<char16_t>(key), tab, shift, alt, controlOrMeta);
    });
}
}
