#include "ErrorReport.h"
#include "Form1.h"

#include <commctrl.h>
#include <exception>

// The program takes no input: the command line is not read.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // The manifest selects version 6 of the common controls; this loads them.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // A window the system would not make is reported like any other error.
    try {
        Form1 form(instance);
        ShowWindow(form.window(), showCommand);
        UpdateWindow(form.window());
        return runMessageLoop(form);
    } catch (...) {
        return form::reportWithoutWindow(std::current_exception(), [](std::u16string_view message) {
            showErrorBox(nullptr, message);
        });
    }
}
