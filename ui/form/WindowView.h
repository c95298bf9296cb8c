#pragma once

// What a front end does for the window model: it draws what the model tells
// it and reports what the user does (to WindowModel). It decides nothing of
// the window's behaviour.

#include "WindowTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace form {

// Why the focus moves: some toolkits draw a focus frame only after a move by
// the keyboard.
enum class FocusReason
{
    Start,
    Tab,
    Backtab,
};

// The decimal separators the system offers: the user's own setting and the
// locale's, either empty where the system has none.
struct DecimalSeparators
{
    std::u16string user;
    std::u16string locale = {};
};

// Where the window is shown, which decides what it does with the focus.
struct Surroundings
{
    // The window keeps the focus, as a desktop window does: it takes it as it
    // opens, and Tab and Shift+Tab go round the buttons. Where false, as in a
    // web page, the focus is the reader's: none is taken at start (a screen
    // reader starts reading the page at its top), and Tab leaves the window
    // at its ends, as it leaves any part of a page.
    bool keepsFocus = true;
};

// The colours of the user's scheme that the window's ink depends on.
struct SchemeColours
{
    Rgb text;       // labels' and windows' text
    Rgb buttonText; // the system's text on buttons
    // The system's button face; unset where the view cannot tell (a
    // transparent one).
    std::optional<Rgb> buttonFace = {};
};

class WindowView
{
public:
    // The control of `row` shows `caption` (with its "&" markers).
    virtual void showCaption(const ControlSpec &row, std::u16string_view caption) = 0;
    // The control of `row` is drawn in `ink`: a label's or a button's text,
    // a line itself.
    virtual void setInk(const ControlSpec &row, Rgb ink) = 0;
    // The button with `role` takes the focus.
    virtual void setFocus(Role role, FocusReason reason) = 0;
    // The button that has the focus, or Role::None.
    virtual Role focused() const = 0;
    // Tells assistive technology `text` (single-spaced), wherever the focus is.
    virtual void announce(std::u16string_view text) = 0;
    // Shows the error box with `message`; WindowModel::errorBoxClosed() once
    // the user closes it (before this returns, where the box is modal).
    virtual void showErrorBox(std::u16string_view message) = 0;
    // The window ends, and the program with `status`.
    virtual void close(int status) = 0;
    // The separators the system offers now.
    virtual DecimalSeparators decimalSeparators() const = 0;
    // Where the window is shown, asked once as it opens; a desktop window
    // by default.
    virtual Surroundings surroundings() const { return {}; }

protected:
    ~WindowView() = default;
};

} // namespace form
