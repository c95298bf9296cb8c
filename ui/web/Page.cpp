#include "Page.h"

#include <array>
#include <cmath>
#include <emscripten/emscripten.h>
#include <utility>

// A call into the page: its C++ signature and its script together. The
// script's exception is logged and the call returns `failed` instead, which
// the C++ side below turns into ScriptError. (The script is stringified:
// each statement ends in a semicolon, and strings take double quotes.)
#define PAGE_SCRIPT(ret, name, params, failed, ...)                                                \
    EM_JS(ret, name, params, {                                                                     \
        try {                                                                                      \
            __VA_ARGS__                                                                            \
        } catch (error) {                                                                          \
            console.error(error);                                                                  \
            return failed;                                                                         \
        }                                                                                          \
    })

// The scripts are JavaScript, which the C++ formatter would break.
// clang-format off

// What the calls share, made once: the table of the elements the window
// holds (index 0 for none), the canvas text is measured with, the embedded
// faces' advances as read, and how each window listens to the page.
PAGE_SCRIPT(int, page_setup, (), 0, {
    if (Module.page) return 1;
    const page = Module.page = {nodes: [null], unused: [], faces: {}, listening: {}, telling: {}};
    page.hold = function(node) {
        const index = page.unused.length ? page.unused.pop() : page.nodes.length;
        page.nodes[index] = node;
        return index;
    };
    page.context = function(font) {
        if (!page.measuring) page.measuring = document.createElement("canvas").getContext("2d");
        /* Setting a font parses it: only when it changes. */
        if (font !== page.measuringFont) page.measuring.font = page.measuringFont = font;
        return page.measuring;
    };
    /* The embedded face `key` ("family weight") as a map from each character
       it has to its advance in ems, or null where the page has no such face. */
    page.face = function(key) {
        if (!(key in page.faces)) {
            const table = Module.faceAdvances && Module.faceAdvances[key];
            let face = null;
            if (table) {
                face = new Map();
                const characters = Array.from(table[1]);
                for (let i = 0; i < characters.length; ++i) face.set(characters[i], table[2][i] / table[0]);
            }
            page.faces[key] = face;
        }
        return page.faces[key];
    };
    /* Runs `call`, a call into the window, from an event of the page; no
       exception leaves it. The window lets none out; if the WebAssembly stops
       all the same (a trap, an abort), it can do nothing more: the program
       has ended with the status of an error, and the page says it stopped. */
    page.enter = function(call) {
        if (page.trapped) return 0;
        try {
            return call();
        } catch (error) {
            console.error(error);
            page.trapped = true;
            document.documentElement.dataset.exitStatus = "1";
            if (Module.end) Module.end(1, "stopped");
            return 0;
        }
    };
    return 1;
});

PAGE_SCRIPT(int, node_create, (const char *tag, int parent), 0, {
    const node = document.createElement(UTF8ToString(tag));
    if (parent) Module.page.nodes[parent].appendChild(node);
    return Module.page.hold(node);
});

PAGE_SCRIPT(int, node_release, (int node), 0, {
    Module.page.nodes[node] = null;
    Module.page.unused.push(node);
    return 1;
});

PAGE_SCRIPT(int, node_show, (int node), 0, {
    document.body.appendChild(Module.page.nodes[node]);
    return 1;
});

PAGE_SCRIPT(int, node_remove, (int node), 0, {
    Module.page.nodes[node].remove();
    return 1;
});

PAGE_SCRIPT(int, node_clear, (int node), 0, {
    Module.page.nodes[node].replaceChildren();
    return 1;
});

PAGE_SCRIPT(int, node_set_attribute, (int node, const char *name, const char *value), 0, {
    Module.page.nodes[node].setAttribute(UTF8ToString(name), UTF8ToString(value));
    return 1;
});

PAGE_SCRIPT(int, node_set_attribute16,
            (int node, const char *name, const char16_t *value, std::size_t length), 0, {
    Module.page.nodes[node].setAttribute(UTF8ToString(name), UTF16ToString(value, 2 * length));
    return 1;
});

PAGE_SCRIPT(int, node_set_style, (int node, const char *property, const char *value), 0, {
    Module.page.nodes[node].style.setProperty(UTF8ToString(property), UTF8ToString(value));
    return 1;
});

PAGE_SCRIPT(int, node_set_style16,
            (int node, const char *property, const char16_t *value, std::size_t length), 0, {
    Module.page.nodes[node].style.setProperty(UTF8ToString(property),
                                              UTF16ToString(value, 2 * length));
    return 1;
});

PAGE_SCRIPT(int, node_append_text, (int node, const char16_t *text, std::size_t length), 0, {
    Module.page.nodes[node].append(UTF16ToString(text, 2 * length));
    return 1;
});

PAGE_SCRIPT(int, node_focus, (int node, int scroll), 0, {
    Module.page.nodes[node].focus({preventScroll: !scroll});
    return 1;
});

// `text` into the live region, and out again a second later: a reader
// reading the page meets it once, in the answer. A browser tells a reader of
// a region's changes in batches, and of none where the text is as it was;
// a reader may also take the same text twice in a row for one message. So
// where the region still holds a text it is emptied first, and the new one
// put in after a pause longer than a batch; and every second text ends in a
// space, which no reader says.
PAGE_SCRIPT(int, node_announce, (int node, const char16_t *text, std::size_t length), 0, {
    const page = Module.page;
    const element = page.nodes[node];
    const said = UTF16ToString(text, 2 * length);
    const turn = page.telling[node] = (page.telling[node] || 0) + 1;
    function whileCurrent(then) {
        return function() {
            try {
                if (page.telling[node] === turn) then();
            } catch (error) {
                console.error(error);
            }
        };
    }
    const tell = whileCurrent(function() {
        element.textContent = turn % 2 ? said : said + " ";
        window.setTimeout(whileCurrent(function() { element.replaceChildren(); }), 1000);
    });
    if (element.firstChild) {
        element.replaceChildren();
        window.setTimeout(tell, 300);
    } else {
        tell();
    }
    return 1;
});

PAGE_SCRIPT(int, node_focused, (), -1, {
    const index = Module.page.nodes.indexOf(document.activeElement);
    return index > 0 ? index : 0;
});

PAGE_SCRIPT(int, node_listen, (int node, const char *type, int window, int event), 0, {
    const page = Module.page;
    const element = page.nodes[node];
    element.addEventListener(UTF8ToString(type), function() {
        page.enter(function() { _vantrel_event(window, event, node); });
    });
    return 1;
});

PAGE_SCRIPT(int, node_show_modal, (int node), 0, {
    Module.page.nodes[node].showModal();
    return 1;
});

PAGE_SCRIPT(int, node_put_pixels, (int node, int width, int height, const std::uint32_t *argb), 0, {
    const canvas = Module.page.nodes[node];
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext("2d");
    const image = context.createImageData(width, height);
    const pixels = HEAPU32.subarray(argb >> 2, (argb >> 2) + width * height);
    const rgba = image.data;
    for (let i = 0; i < pixels.length; ++i) {
        const p = pixels[i];
        rgba[i * 4] = (p >>> 16) & 255;
        rgba[i * 4 + 1] = (p >>> 8) & 255;
        rgba[i * 4 + 2] = p & 255;
        rgba[i * 4 + 3] = p >>> 24;
    }
    context.putImageData(image, 0, 0);
    return 1;
});

// Keys go to the window first, anywhere in the page; what it takes, the
// browser does not act on as well. A key the browser has acted on already
// (its own access-key chord) is not the window's too: one press, one click.
// A press of the mouse on the window `root` but not on a button leaves the
// focus where it is, as on the desktop: listened for on the document, so
// that no label is offered to a reader as something to click. Two presses
// are the browser's: one in a course page's frame without the keyboard,
// which brings the keyboard to the frame (its page, no button), and one on
// selectable text, which selects it, the focus put back as it ends.
PAGE_SCRIPT(int, page_listen, (int window, int root, int keyEvent, int schemeEvent), 0, {
    const page = Module.page;
    const listening = page.listening[window] = new AbortController();
    const element = page.nodes[root];
    document.addEventListener("mousedown", function(event) {
        try {
            const target = event.target;
            if (!(target instanceof Element) || !element.contains(target) || target.closest("button"))
                return;
            if (window.parent !== window && !document.hasFocus()) return;
            if (target.closest(".selectable")) {
                const kept = document.activeElement;
                if (kept && kept !== document.body && element.contains(kept)) {
                    document.addEventListener("mouseup", function() {
                        try {
                            kept.focus({preventScroll: true});
                        } catch (error) {
                            console.error(error);
                        }
                    }, {once: true, signal: listening.signal});
                }
                return;
            }
            event.preventDefault();
        } catch (error) {
            console.error(error);
        }
    }, {signal: listening.signal});
    /* A selection's text as the browser copies it may begin or end with the
       line breaks of the blocks around it (Firefox's does): a copy of the
       answer is the answer alone. */
    document.addEventListener("copy", function(event) {
        try {
            const text = getSelection().toString();
            const lineBreak = function(at) {
                const code = text.charCodeAt(at);
                return code === 10 || code === 13;
            };
            let from = 0;
            let to = text.length;
            while (from < to && lineBreak(from)) ++from;
            while (to > from && lineBreak(to - 1)) --to;
            const copied = text.slice(from, to);
            if (copied !== text && copied && event.clipboardData) {
                event.clipboardData.setData("text/plain", copied);
                event.preventDefault();
            }
        } catch (error) {
            console.error(error);
        }
    }, {signal: listening.signal});
    document.addEventListener("keydown", function(event) {
        if (event.defaultPrevented) return;
        const taken = page.enter(function() {
            const single = event.key === "Enter" ? 13 : event.key === "Escape" ? 27
                           : event.key.length === 1 ? event.key.charCodeAt(0) : 0;
            return _vantrel_key(window, single, event.key === "Tab", event.shiftKey, event.altKey,
                                event.ctrlKey || event.metaKey);
        });
        if (taken) event.preventDefault();
    }, {signal: listening.signal});
    matchMedia("(prefers-color-scheme: dark)").addEventListener("change", function() {
        page.enter(function() { _vantrel_event(window, schemeEvent, 0); });
    }, {signal: listening.signal});
    return 1;
});

PAGE_SCRIPT(int, page_forget, (int window), 0, {
    const listening = Module.page.listening[window];
    if (listening) listening.abort();
    delete Module.page.listening[window];
    const watching = Module.page.watching && Module.page.watching[window];
    if (watching) {
        watching.disconnect();
        delete Module.page.watching[window];
    }
    return 1;
});

// The root element's box is the page's width less a scroll bar: watched, it
// tells of a resized window, a zoom, a turned phone and a scroll bar that
// comes or goes. One call a frame at most, as the frame is drawn.
PAGE_SCRIPT(int, page_watch_size, (int window, int event), 0, {
    const page = Module.page;
    /* Told once as watching starts: the window was laid out before it was
       in the page, which may have given the page a scroll bar. */
    let width = -1;
    let pending = false;
    const observer = new ResizeObserver(function() {
        if (pending || document.documentElement.clientWidth === width) return;
        pending = true;
        requestAnimationFrame(function() {
            pending = false;
            width = document.documentElement.clientWidth;
            page.enter(function() { _vantrel_event(window, event, 0); });
        });
    });
    observer.observe(document.documentElement);
    (page.watching = page.watching || {})[window] = observer;
    return 1;
});

PAGE_SCRIPT(double, viewport_width, (), NaN, {
    return document.documentElement.clientWidth;
});

PAGE_SCRIPT(int, coarse_pointer, (), -1, {
    return matchMedia("(pointer: coarse)").matches ? 1 : 0;
});

// A browser's minimum font size shows in the width it gives text set
// smaller (its computed size need not tell: Firefox's does not).
PAGE_SCRIPT(double, minimum_font_pixels, (), NaN, {
    const probe = document.createElement("div");
    probe.setAttribute("aria-hidden", "true");
    probe.style.cssText = "position: absolute; visibility: hidden; white-space: pre";
    const text = "MMMMMMMMMM";
    const tiny = probe.appendChild(document.createElement("span"));
    const large = probe.appendChild(document.createElement("span"));
    tiny.style.fontSize = "1px";
    large.style.fontSize = "100px";
    tiny.textContent = large.textContent = text;
    document.body.appendChild(probe);
    const ratio = tiny.getBoundingClientRect().width / large.getBoundingClientRect().width;
    probe.remove();
    /* The settings are whole pixels; measured, a little off. */
    const size = Math.round(100 * ratio);
    return size > 1 ? size : 0;
});

// Where a test and the page's embedder read how the window ended. A window
// that ended closes the page where the browser allows (a tab a script
// opened); where the page stays, a note says the program has ended. A window
// that never opened leaves its tab open, with the message that it could not
// start. The page's end (Module.end) tells a course page.
PAGE_SCRIPT(int, page_end, (int form, int status), 0, {
    document.documentElement.dataset.exitStatus = String(status);
    if (form) window.close();
    if (Module.end) Module.end(status, window.closed ? "" : form ? "ended" : "start");
    return 1;
});

// The colour the element is drawn in, its text's or its background's, as
// 0xRRGGBB; -2 where it is not opaque.
PAGE_SCRIPT(int, node_colour, (int node, int background), -1, {
    const style = getComputedStyle(Module.page.nodes[node]);
    const rgb = (background ? style.backgroundColor : style.color).match(/[0-9.]+/g).map(Number);
    if (rgb.length > 3 && rgb[3] < 1) return -2;
    return (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
});

// The colour scheme's own text colour, as 0xRRGGBB.
PAGE_SCRIPT(int, scheme_text_colour, (), -1, {
    const probe = document.createElement("span");
    probe.style.color = "CanvasText";
    document.body.appendChild(probe);
    const rgb = getComputedStyle(probe).color.match(/[0-9]+/g).map(Number);
    probe.remove();
    return (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
});

// Summed from the embedded face's own advances, so that every engine breaks
// the lines alike (one rounds the canvas's advances to whole pixels); a
// character the face lacks is drawn from the browser's fonts, and measured
// by it.
PAGE_SCRIPT(double, measure_text,
            (const char16_t *font, std::size_t fontLength, const char16_t *family,
             std::size_t familyLength, int weight, int pixels, const char16_t *text,
             std::size_t length),
            NaN, {
    const page = Module.page;
    const css = UTF16ToString(font, 2 * fontLength);
    const face = page.face(UTF16ToString(family, 2 * familyLength) + " " + weight);
    const shown = UTF16ToString(text, 2 * length);
    if (!face) return page.context(css).measureText(shown).width;
    let ems = 0;
    let width = 0;
    for (const character of shown) {
        const advance = face.get(character);
        if (advance !== undefined)
            ems += advance;
        else
            width += page.context(css).measureText(character).width;
    }
    return ems * pixels + width;
});

PAGE_SCRIPT(double, drawn_width,
            (const char16_t *font, std::size_t fontLength, const char16_t *text,
             std::size_t length),
            NaN, {
    return Module.page.context(UTF16ToString(font, 2 * fontLength))
        .measureText(UTF16ToString(text, 2 * length)).width;
});

// The height of a line of `family` at `weight` and `pixels`: the embedded
// face's own where the page has it, else the browser's.
PAGE_SCRIPT(double, line_height,
            (const char16_t *font, std::size_t fontLength, const char16_t *family,
             std::size_t familyLength, int weight, int pixels),
            NaN, {
    const key = UTF16ToString(family, 2 * familyLength) + " " + weight;
    const perPixel = Module.faceLines && Module.faceLines[key];
    if (perPixel) return perPixel * pixels;
    const metrics = Module.page.context(UTF16ToString(font, 2 * fontLength)).measureText("");
    return metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
});

// The decimal separator of the browser's language, with Latin digits, into
// `buffer` as UTF-16; its length. None where Intl refuses the language
// (WebKitGTK under the C locale reports "C"): the window's rule then chooses,
// as on the desktop where a locale is not installed.
PAGE_SCRIPT(int, decimal_separator, (char16_t *buffer, std::size_t size), -1, {
    let separator = "";
    try {
        const parts = new Intl.NumberFormat(navigator.language, {numberingSystem: "latn"})
            .formatToParts(1.5);
        const decimal = parts.find(function(part) { return part.type === "decimal"; });
        if (decimal) separator = decimal.value;
    } catch (error) {
        if (!(error instanceof RangeError)) throw error;
    }
    stringToUTF16(separator, buffer, 2 * size);
    return Math.min(separator.length, size - 1);
});

// clang-format on

namespace web {
namespace {

void check(int done)
{
    if (!done)
        throw ScriptError();
}

double checked(double measured)
{
    if (std::isnan(measured))
        throw ScriptError();
    return measured;
}

} // namespace

double measureText(const CssFont &font, std::u16string_view text)
{
    return checked(measure_text(font.css.data(), font.css.size(), font.family.data(),
                                font.family.size(), font.weight, font.pixels, text.data(),
                                text.size()));
}

double drawnWidth(const CssFont &font, std::u16string_view text)
{
    return checked(drawn_width(font.css.data(), font.css.size(), text.data(), text.size()));
}

double lineHeight(const CssFont &font)
{
    return checked(line_height(font.css.data(), font.css.size(), font.family.data(),
                               font.family.size(), font.weight, font.pixels));
}

std::u16string decimalSeparator()
{
    std::array<char16_t, 16> buffer{};
    const int length = decimal_separator(buffer.data(), buffer.size());
    check(length >= 0);
    return {buffer.data(), std::size_t(length)};
}

namespace {

form::Rgb colourFrom(int rgb)
{
    check(rgb >= 0);
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
            static_cast<std::uint8_t>(rgb)};
}

} // namespace

form::Rgb schemeTextColour()
{
    return colourFrom(scheme_text_colour());
}

double viewportWidth()
{
    return checked(viewport_width());
}

bool coarsePointer()
{
    const int coarse = coarse_pointer();
    check(coarse >= 0);
    return coarse;
}

double minimumFontPixels()
{
    return checked(minimum_font_pixels());
}

void watchSize(int window, Event event)
{
    check(page_watch_size(window, int(event)));
}

void listenToPage(int window, const Element &root)
{
    check(page_listen(window, root.handle(), int(Event::Key), int(Event::SchemeChanged)));
}

void forgetWindow(int window) noexcept
{
    page_forget(window); // a failure is logged, and the window is gone all the same
}

void endPage(int window, int status) noexcept
{
    if (window)
        forgetWindow(window);
    page_end(window, status);
}

Element::Element(const char *tag, const Element *parent)
{
    check(page_setup());
    handle_ = node_create(tag, parent ? parent->handle_ : 0);
    check(handle_);
}

Element::~Element()
{
    if (handle_)
        node_release(handle_); // a failure changes nothing more
}

Element::Element(Element &&other) noexcept : handle_(std::exchange(other.handle_, 0)) {}

int Element::focusedHandle()
{
    const int focused = node_focused();
    check(focused >= 0);
    return focused;
}

void Element::setAttribute(const char *name, const char *value)
{
    check(node_set_attribute(handle_, name, value));
}

void Element::setAttribute(const char *name, std::u16string_view value)
{
    check(node_set_attribute16(handle_, name, value.data(), value.size()));
}

void Element::setStyle(const char *property, const std::string &value)
{
    check(node_set_style(handle_, property, value.c_str()));
}

void Element::setStyle(const char *property, std::u16string_view value)
{
    check(node_set_style16(handle_, property, value.data(), value.size()));
}

void Element::appendText(std::u16string_view text)
{
    check(node_append_text(handle_, text.data(), text.size()));
}

void Element::clear()
{
    check(node_clear(handle_));
}

void Element::show()
{
    check(node_show(handle_));
}

void Element::remove()
{
    check(node_remove(handle_));
}

void Element::focus(bool scroll)
{
    check(node_focus(handle_, scroll));
}

std::optional<form::Rgb> Element::colour(bool background) const
{
    const int rgb = node_colour(handle_, background);
    if (rgb == -2)
        return {};
    return colourFrom(rgb);
}

void Element::announce(std::u16string_view text)
{
    check(node_announce(handle_, text.data(), text.size()));
}

void Element::listen(Event event, int window)
{
    check(node_listen(handle_, event == Event::Click ? "click" : "close", window, int(event)));
}

void Element::showModal()
{
    check(node_show_modal(handle_));
}

void Element::putPixels(int width, int height, const std::uint32_t *argb)
{
    check(node_put_pixels(handle_, width, height, argb));
}

} // namespace web
