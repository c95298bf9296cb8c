// Form1 over Win32, run under Wine: the failure path that the program's own
// start values never reach, and the control table it was built from.
#include "Form1.h"

#include "ErrorReport.h"
#include "LayoutTable.h"

#include <algorithm>
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

TEST(Form1, IconsAndPictureComeFromTheExecutablesResources)
{
    Form1 form(GetModuleHandleW(nullptr));
    const auto iconWidth = [](HICON icon) {
        ICONINFO info{};
        if (!icon || !GetIconInfo(icon, &info))
            return 0L;
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        return mask.bmWidth;
    };
    EXPECT_EQ(iconWidth(reinterpret_cast<HICON>(GetClassLongPtrW(form.window(), GCLP_HICON))),
              GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(iconWidth(reinterpret_cast<HICON>(GetClassLongPtrW(form.window(), GCLP_HICONSM))),
              GetSystemMetrics(SM_CXSMICON));

    // The picture at its natural size, 77 x 45 pixels at 96 dpi.
    BITMAP picture{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HBITMAP>(
                             SendMessageW(form.control("Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0)),
                         sizeof picture, &picture),
              0);
    const int scale = std::max(1, GetDeviceCaps(GetDC(nullptr), LOGPIXELSY) / 96);
    EXPECT_EQ(picture.bmWidth, 77 * scale);
    EXPECT_EQ(picture.bmHeight, 45 * scale);
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
