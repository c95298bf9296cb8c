// Form1 over Win32, run under Wine: the failure path that the program's own
// start values never reach, and the control table it was built from.
#include "Form1.h"

#include "ErrorReport.h"
#include "LayoutTable.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::wstring textOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Dismisses the error box as a user would, by its button.
void CALLBACK dismissMessageBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND box = FindWindowW(L"#32770", L"Velto"))
        PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// Ends a loop that nothing else ended.
void CALLBACK giveUp(HWND, UINT, UINT_PTR, DWORD)
{
    PostQuitMessage(-999);
}

} // namespace

TEST(Form1, EveryRowIsAControlWithItsCaption)
{
    Form1 form(GetModuleHandleW(nullptr));
    for (const form::ControlSpec &row : form::controlSpecs()) {
        SCOPED_TRACE(row.name);
        HWND control = form.control(row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgCtrlID(control), Form1::kFirstControlId + row.order);
        EXPECT_EQ(textOf(control), std::wstring(row.caption.begin(), row.caption.end()));
    }
    EXPECT_EQ(GetFocus(), form.control("Command1"));
}

TEST(Form1, ARuntimeErrorIsReportedOnceAndEndsTheProgram)
{
    // Starting the series at 171 makes the first factorial overflow.
    Form1 form(GetModuleHandleW(nullptr), calc::SeriesState{0.0, 1.0, 171});
    ASSERT_NE(form.window(), nullptr);
    ShowWindow(form.window(), SW_SHOW);
    SetTimer(nullptr, 0, 50, dismissMessageBox);
    SetTimer(nullptr, 0, 10000, giveUp);
    PostMessageW(form.control("Command1"), BM_CLICK, 0, 0);
    const int status = runMessageLoop(form);
    EXPECT_EQ(status, form::kExitStatusReportedError);
    EXPECT_FALSE(IsWindow(form.window()));
}
