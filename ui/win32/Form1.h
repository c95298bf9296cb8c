#pragma once

#include "Accessibility.h"
#include "Fonts.h"
#include "LabelLayout.h"
#include "WindowTable.h"
#include "OwnedHandles.h"
#include "SeriesSum.h"
#include "Variant.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

// The program's one window over plain Win32: standard BUTTON and STATIC
// controls built from the layout table, painted with GDI; the labels'
// text laid out by LabelLayout and drawn by the window.
class Form1
{
public:
    // Each control's id is this plus its place in the layout table.
    static constexpr int kFirstControlId = 1000;

    // Builds the window from `instance`'s resources; `sumSeries` is what
    // Calculate sums. Throws where the system will not make a part of it.
    explicit Form1(HINSTANCE instance, calc::Calculation sumSeries = calc::sumSeries);
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // The factorial of the exercise. Reads the caller's variable, never writes it.
    calc::Variant f(const std::int16_t &k) const;

    // The handler a click on the control with `role` is bound to.
    void click(form::Role role);
    void Command1_Click();
    void Command2_Click();

    HWND window() const noexcept { return window_.get(); }

    // Alt with a button's underlined letter clicks that button. The labels'
    // underlined letters only point at the buttons and take no key of their
    // own. False where no button has that letter.
    bool pressAccessKey(wchar_t key) const;
    // Tab and Shift+Tab: the focus to the next or previous control in tab order.
    void moveFocus(bool backward) const;
    // A control by its name in the layout table, or nullptr.
    HWND control(const char *name) const noexcept;
    // The control the program uses for `role`.
    HWND control(form::Role role) const noexcept;

private:
    struct Control
    {
        const form::ControlSpec *row;
        HWND handle;
        UniqueBrush background; // the table's colour; null: the system's
        COLORREF backgroundColour;
        std::optional<LabelLayout> label;
    };

    static LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void loadResources(HINSTANCE instance);
    void createWindow(HINSTANCE instance);
    void buildControls(HINSTANCE instance);
    void clickFocusedButton();
    void keepFocus() noexcept;
    void restoreFocus() const noexcept;
    Control *controlFor(HWND handle) noexcept;
    void drawLabel(Control &control, const DRAWITEMSTRUCT &item);

    calc::Calculation sumSeries_;
    int exitStatus_ = 0;
    bool errorReported_ = false;
    int dpi_ = 96;
    UniqueBrush windowBrush_;
    UniqueBitmap picture_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    // Declared before the controls, whose labels draw with its fonts, so that
    // it is destroyed after them.
    FontCache fonts_;
    std::vector<Control> controls_;
    // The control that had the focus when the window last lost it.
    HWND keptFocus_ = nullptr;
    // After everything it draws with, so that the window goes before them.
    UniqueWindow window_;
    // After the window, so that readers are let go of while it still exists.
    std::unique_ptr<WindowAccessibility> accessibility_;
};

// Shows the one message box that reports `error`, over `owner` (or none).
void reportError(HWND owner, const std::exception_ptr &error) noexcept;

// Runs the window's message loop until the window is gone; returns the
// status the program ends with.
int runMessageLoop(const Form1 &form);
