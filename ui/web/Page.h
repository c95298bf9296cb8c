#pragma once

// The web front end's calls into the page's script, each typed, with its
// JavaScript beside it in Page.cpp. A JavaScript exception must never enter
// the WebAssembly: catch (...) does not catch it, and in a noexcept frame it
// ends in std::terminate, whose abort throws one more into the same frame,
// over and over. Each call's script catches it instead and logs it, and the
// call throws ScriptError here, which the window reports as its own errors.

#include "WindowTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace web {

class ScriptError : public std::exception
{
public:
    const char *what() const noexcept override { return "the page's script failed"; }
};

// What the page tells a window, each from one DOM event.
enum class Event
{
    Click,          // "click" on a button
    Key,            // "keydown" anywhere in the page
    SchemeChanged,  // "change" of the colour scheme the user prefers
    ErrorBoxClosed, // "close" of the error box
    Resized,        // the page's width changed (at most once a frame)
};

// A font as the page sets it: its CSS, and the face it asks for first.
struct CssFont
{
    std::u16string css;
    std::u16string family;
    int weight;
    int pixels;
};

// The advance of `text` in `font`, in CSS pixels: from the embedded face's
// own advances, the same in every browser, and from the browser's measure
// only for characters the face lacks.
double measureText(const CssFont &font, std::u16string_view text);

// The advance the browser itself gives `text` in `font`, which is what it
// draws with (one engine rounds each glyph to whole pixels), in CSS pixels.
double drawnWidth(const CssFont &font, std::u16string_view text);

// The height of a line in `font`, in CSS pixels.
double lineHeight(const CssFont &font);

// The decimal separator of the browser's language, written with Latin digits.
std::u16string decimalSeparator();

// The separators the languages write with Latin digits: the page embeds their
// glyphs, and takes any other from the browser's own fonts.
inline constexpr std::u16string_view kUsualDecimalSeparators = u".,";

// The colour scheme's text colour (light or dark, as the user prefers).
form::Rgb schemeTextColour();

// The width the page has for the window, in CSS pixels.
double viewportWidth();
// Whether the user points by touch (the media feature "pointer: coarse").
bool coarsePointer();
// The smallest text the browser draws, in CSS pixels, where its user has set
// a minimum font size; 0 where none is set.
double minimumFontPixels();
// The window `window` gets `event` (Resized) as the page's width changes,
// until the page forgets it.
void watchSize(int window, Event event);

class Element;
// Keys pressed anywhere in the page and changes of the colour scheme go to
// the window `window`, whose elements are in `root`, until the page forgets
// it; a press of the mouse in `root` but not on a button keeps the focus
// where it is.
void listenToPage(int window, const Element &root);
void forgetWindow(int window) noexcept;

// Records how the window `window` ended, closes the page where the browser
// allows (where it does not, the page says in the window's place that the
// program has ended), and tells a page the window is framed in (a message
// {type: "vantrel1-exit", status}). A window of 0 never opened: its page
// stays, and says so.
void endPage(int window, int status) noexcept;

// An element of the page, held through the page's table of nodes (the page
// never holds a C++ pointer) and let go of when this is destroyed. The element
// itself stays in the page until remove() takes it out.
class Element
{
public:
    // A new element `tag`, appended to `parent`; where that is null, the
    // element is not in the page until show() puts it there.
    Element(const char *tag, const Element *parent);
    ~Element();
    Element(Element &&other) noexcept;
    Element &operator=(Element &&other) = delete;
    Element(const Element &) = delete;
    Element &operator=(const Element &) = delete;

    // What the page knows the element by; 0 for none.
    int handle() const noexcept { return handle_; }
    // The element that has the focus, where it is one of these.
    static int focusedHandle();

    // `value` ASCII, or UTF-16.
    void setAttribute(const char *name, const char *value);
    void setAttribute(const char *name, std::u16string_view value);
    void setStyle(const char *property, const std::string &value);
    void setStyle(const char *property, std::u16string_view value);
    void appendText(std::u16string_view text);
    // Takes every child out of the element.
    void clear();
    // Appends the element to the page's body.
    void show();
    // Takes the element out of the page.
    void remove();
    // `scroll`: the page may scroll to show the element.
    void focus(bool scroll = true);
    // The colour the element is drawn in now: its text's, or where
    // `background`, its background's; none where it is not opaque.
    std::optional<form::Rgb> colour(bool background) const;
    // For a live region: has it say `text` to a screen reader, changed or
    // not, and be empty again.
    void announce(std::u16string_view text);
    // The window `window` gets `event` (Click or ErrorBoxClosed) from here.
    void listen(Event event, int window);
    // For a <dialog>: shows it modal, the rest of the page inert.
    void showModal();
    // For a <canvas>: its bitmap, `width` x `height` ARGB pixels.
    void putPixels(int width, int height, const std::uint32_t *argb);

private:
    int handle_;
};

} // namespace web
