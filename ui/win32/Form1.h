#pragma once

#include "Accessibility.h"
#include "ErrorReport.h"
#include "Fonts.h"
#include "LabelLayout.h"
#include "OwnedHandles.h"
#include "SeriesSum.h"
#include "WindowModel.h"
#include "WindowTable.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>
#include <windows.h>

// The decimal separators of the user's locale: as the user set it, and the
// locale's own. The window decides which it writes with.
form::DecimalSeparators userDecimalSeparators();

// The program's one window over plain Win32, a view of the window model:
// BUTTON and STATIC controls built from the table, the labels drawn by the
// window with LabelLayout, the user's clicks and keys passed to the model.
class Form1 final : private form::WindowView
{
public:
    // Each control's id is this plus its place in the table.
    static constexpr int kFirstControlId = 1000;

    // Where the window reads the decimal separators the system offers.
    using SeparatorQuery = std::function<form::DecimalSeparators()>;

    // Builds the window from `instance`'s resources; `calculation` is what
    // Calculate runs. Throws where the system will not make a part of it.
    explicit Form1(HINSTANCE instance, calc::Calculation calculation = calc::sumSeries,
                   SeparatorQuery separators = userDecimalSeparators);
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    HWND window() const noexcept { return window_.get(); }
    // A control by its name in the table, or nullptr.
    HWND control(const char *name) const noexcept;
    // The ink the control `name` is drawn in (for tests: Wine's own buttons
    // do not draw in the system's colours).
    COLORREF ink(const char *name) const noexcept;
    // The control the program uses for `role`.
    HWND control(form::Role role) const noexcept;
    // The layout a label was last drawn with (for tests); nullptr for any
    // other control.
    const LabelLayout *label(const char *name) const noexcept;

    // One message of the thread's queue: the window's own keys first (Tab,
    // Alt with a letter), the rest as in a dialog.
    void dispatch(MSG &message);
    // Reports a failure of the window's code as the model has it: once a run.
    void reportError(const std::exception_ptr &error) noexcept;

private:
    struct Control
    {
        const form::ControlSpec *row;
        HWND handle;
        UniqueBrush background; // the table's colour; null: the system's
        COLORREF backgroundColour;
        COLORREF ink;
        UniqueBrush inkBrush; // a line's, in its ink
        std::optional<LabelLayout> label;
    };

    static LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createWindow(HINSTANCE instance);
    void buildControls(HINSTANCE instance);
    void keepFocus() noexcept;
    void restoreFocus() const noexcept;
    Control *controlFor(HWND handle) noexcept;
    void drawLabel(Control &control, const DRAWITEMSTRUCT &item);
    void drawButton(const Control &control, const DRAWITEMSTRUCT &item);

    void showCaption(const form::ControlSpec &row, std::u16string_view caption) override;
    void setInk(const form::ControlSpec &row, form::Rgb ink) override;
    void setFocus(form::Role role, form::FocusReason reason) override;
    form::Role focused() const override;
    void announce(std::u16string_view text) override;
    void showErrorBox(std::u16string_view message) override;
    void close(int status) override;
    form::DecimalSeparators decimalSeparators() const override;

    SeparatorQuery separators_;
    form::WindowModel model_;
    int exitStatus_ = form::kExitStatusOk;
    int dpi_ = 96;
    UniqueBrush windowBrush_;
    UniqueBitmap picture_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    // Outlives the controls, whose labels draw with its fonts.
    FontCache fonts_;
    std::vector<Control> controls_;
    // The control that had the focus when the window last lost it.
    HWND keptFocus_ = nullptr;
    // Goes before everything it draws with.
    UniqueWindow window_;
    // Goes first, so readers are let go of while the window exists.
    std::unique_ptr<WindowAccessibility> accessibility_;
};

// Shows the one message box that reports an error with `message`, over
// `owner` (or none).
void showErrorBox(HWND owner, std::u16string_view message) noexcept;

// Runs the window's message loop until the window is gone; returns the
// status the program ends with.
int runMessageLoop(Form1 &form);
