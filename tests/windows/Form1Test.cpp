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

// The error box's text, read before it is dismissed as a user would, by its
// button.
std::wstring boxText;

void CALLBACK dismissMessageBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND box = FindWindowW(L"#32770", L"Velto")) {
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512); // the message, as on Windows
        boxText = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
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
    // An earlier window's end left its quit message behind; a new loop starts clean.
    MSG pending{};
    while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {
    }
    // Starting the series at 171 makes the first factorial overflow.
    Form1 form(GetModuleHandleW(nullptr), calc::SeriesState{0.0, 1.0, 171});
    ASSERT_NE(form.window(), nullptr);
    SetTimer(nullptr, 0, 50, dismissMessageBox);
    SetTimer(nullptr, 0, 10000, giveUp);
    PostMessageW(form.control("Command1"), BM_CLICK, 0, 0);
    const int status = runMessageLoop(form);
    EXPECT_EQ(status, form::kExitStatusReportedError);
    EXPECT_EQ(boxText, L"Ошибка выполнения: переполнение (Overflow).");
    EXPECT_FALSE(IsWindow(form.window()));
}
