#pragma once

#include "DomNode.h"
#include "WindowTable.h"
#include "SeriesSum.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace web {

// The program's one window as elements of the page, built from the layout
// table: each control an element whose id is its name, where the table puts
// it, drawn in its order.
class Form1
{
public:
    // `sumSeries` is what Calculate sums.
    explicit Form1(calc::Calculation sumSeries);
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // Builds the window and shows it. Apart from this, so that a failure
    // while it is built is reported in the window's error box.
    void open();

    // What the page sends: a click on the control of the table's row with
    // this index, or one of these.
    static constexpr int kColourSchemeChanged = -1;
    static constexpr int kErrorBoxClosed = -2;
    void handle(int event);

    // A key pressed anywhere in the page: its character (0 for none),
    // whether it is Tab, and the modifiers held. True where the window took
    // it, and the browser should not act on it as well.
    static constexpr int kShift = 1;
    static constexpr int kAlt = 2;
    static constexpr int kControlOrMeta = 4 | 8;
    bool keyDown(char16_t key, bool tab, int modifiers);

    // Shows the message for `error` in a modal box; the window ends once the
    // box is closed.
    void reportError(const std::exception_ptr &error);

    // Takes the window out of the page and records `status`.
    void end(int status) noexcept;
    bool ended() const noexcept { return ended_; }

    // The handler a click on the control with `role` is bound to.
    void click(form::Role role);
    void Command1_Click();
    void Command2_Click();

private:
    struct Control
    {
        const form::ControlSpec *row;
        DomNode node;
        std::u16string caption;
    };

    void buildControls();
    void showCaption(Control &control);
    void applyInk();
    Control &control(form::Role role);
    Control &control(const char *name);
    void moveFocus(int step);

    calc::Calculation sumSeries_;
    DomNode root_;
    std::vector<Control> controls_; // in the page's order
    std::optional<DomNode> errorBox_;
    bool ended_ = false;
};

// Opens the window on the page, `sumSeries` being what Calculate sums.
void openWindow(calc::Calculation sumSeries) noexcept;

} // namespace web
