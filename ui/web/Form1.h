#pragma once

#include "CaptionLayout.h"
#include "Page.h"
#include "SeriesSum.h"
#include "WindowModel.h"

#include <exception>
#include <optional>
#include <vector>

namespace web {

// The program's one window as elements of the page, a view of the window
// model: each row of the table an element whose id is its name, where the
// table puts it, drawn in its order, with the user's clicks and keys passed
// on to the model, which decides what they do.
// (Its base is public only so that its type information stays the simple
// kind: the module carries no code for any other.)
class Form1 final : public form::WindowView
{
public:
    // `handle` is what the page knows the window by; `calculation` is what
    // Calculate runs; `separators`, where set, stand for the browser's.
    Form1(int handle, calc::Calculation calculation,
          std::optional<form::DecimalSeparators> separators);

    int handle() const noexcept { return handle_; }

    // Builds the window and shows it. Apart from this, so that a failure
    // while it is built is reported in the window's error box.
    void open();

    // `event` from the element `node` (0: the page itself).
    void handle(Event event, int node);
    // A key pressed anywhere in the page: its character (0 for none), whether
    // it is Tab, and the modifiers held. True where the window took it, and
    // the browser should not act on it as well.
    bool keyDown(char16_t key, bool tab, bool shift, bool alt, bool controlOrMeta);
    // A failure outside the model's own handlers (building, drawing).
    void fail(const std::exception_ptr &error) noexcept;

    // Once closed, the window may be destroyed.
    bool closed() const noexcept { return closed_; }

private:
    struct Control
    {
        const form::ControlSpec *row;
        Element element;
        form::PixelRect box = {}; // in the layout's 96-dpi pixels
        std::u16string caption = {};
    };

    // How the window is laid out: drawn at `scale` times its 96-dpi size,
    // with its controls where the table puts them or, where `column` is set,
    // in one column that many 96-dpi pixels wide.
    struct Arrangement
    {
        double scale = 1;
        int column = 0;

        friend bool operator==(const Arrangement &, const Arrangement &) = default;
    };

    void buildControls();
    Control &control(const form::ControlSpec &row);
    // The arrangement the page's width, pointer and minimum font size ask for.
    Arrangement wantedArrangement() const;
    // Places every control for the arrangement and draws their captions.
    void arrange();
    form::LaidCaption layOut(const form::ControlSpec &row, const form::ShownCaption &shown,
                             double width) const;
    int labelHeight(const form::ControlSpec &row, std::u16string_view caption, int width) const;
    void draw(Control &each);
    form::SchemeColours schemeColours();

    void showCaption(const form::ControlSpec &row, std::u16string_view caption) override;
    void setInk(const form::ControlSpec &row, form::Rgb ink) override;
    void setFocus(form::Role role, form::FocusReason reason) override;
    form::Role focused() const override;
    void announce(std::u16string_view text) override;
    void showErrorBox(std::u16string_view message) override;
    void close(int status) override;
    form::DecimalSeparators decimalSeparators() const override;
    form::Surroundings surroundings() const override;

    int handle_;
    std::optional<form::DecimalSeparators> separators_;
    form::WindowModel model_;
    Element root_;
    Element announcer_;
    Arrangement arrangement_;
    std::vector<Control> controls_; // in the page's order
    std::optional<Element> errorBox_;
    bool closed_ = false;
};

// Opens the window on the page, in place of any before it once it is built;
// its handle, 0 where it could not start.
int openWindow(calc::Calculation calculation,
               std::optional<form::DecimalSeparators> separators = {}) noexcept;

} // namespace web
