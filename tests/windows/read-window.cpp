// Reads the running program's window back through the Win32 API, as a
// person's tools would see it: run in the program's Wine prefix, it prints
// the client area on the screen, whether the frame lets the user resize or
// maximize it, the answer label's text (UTF-8) and the focused control.
#include "Form1.h"
#include "WindowTable.h"

#include <cstdio>
#include <windows.h>

int main()
{
    HWND window = FindWindowW(L"Vantrel1Form1", L"Velto");
    if (!window) {
        std::puts("no window");
        return 1;
    }
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("client %ldx%ld+%ld+%ld\n", client.right, client.bottom, origin.x, origin.y);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    std::printf("resizable %s\n", style & (WS_THICKFRAME | WS_MAXIMIZEBOX) ? "yes" : "no");

    wchar_t text[128] = {};
    GetWindowTextW(GetDlgItem(window, Form1::kFirstControlId + form::findControl("Label4")->order),
                   text, 128);
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("answer %s\n", utf8);

    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    const char *focus = thread.hwndFocus == window ? "Form1" : "none";
    for (const form::ControlSpec &row : form::controlSpecs()) {
        if (thread.hwndFocus &&
            GetDlgCtrlID(thread.hwndFocus) == Form1::kFirstControlId + row.order)
            focus = row.name;
    }
    std::printf("focus %s\n", focus);
    return 0;
}
