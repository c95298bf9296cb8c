#pragma once

#include "Fonts.h"
#include "GdiHandles.h"
#include "LabelLayout.h"
#include "LayoutTable.h"
#include "SeriesSum.h"
#include "Variant.h"

#include <cstdint>
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

    // `start` is where Calculate begins the series; only tests change it.
    explicit Form1(HINSTANCE instance, calc::SeriesState start = {});
    ~Form1();
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // The factorial of the exercise. Reads the caller's variable, never writes it.
    calc::Variant f(const std::int16_t &k) const;

    void Command1_Click();
    void Command2_Click();

    HWND window() const noexcept { return window_; }

    // Alt with a button's underlined letter clicks that button. The labels'
    // underlined letters only point at the buttons and take no key of their
    // own. False where no button has that letter.
    bool pressAccessKey(wchar_t key) const;
    // A control by its layout name ("Command1", "Label4", ...), or nullptr.
    HWND control(const char *name) const noexcept;

private:
    struct Control
    {
        const form::ControlSpec *row;
        HWND handle;
        UniqueBrush background; // null: the system's
        COLORREF backgroundColour;
        std::optional<LabelLayout> label;
    };

    static LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createWindow(HINSTANCE instance);
    void buildControls(HINSTANCE instance);
    void clickFocusedButton();
    Control *controlFor(HWND handle) noexcept;
    void drawLabel(Control &control, const DRAWITEMSTRUCT &item);

    calc::SeriesState start_;
    HWND window_ = nullptr;
    int exitStatus_ = 0;
    int dpi_ = 96;
    UniqueBrush windowBrush_;
    UniqueBitmap picture_;
    // Declared before the controls, whose labels draw with its fonts, so that
    // it is destroyed after them.
    FontCache fonts_;
    std::vector<Control> controls_;
};

// Runs the window's message loop until the window is gone; returns the
// status the program ends with.
int runMessageLoop(const Form1 &form);
