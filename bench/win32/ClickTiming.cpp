// One Calculate click in Vantrel1.exe's own window under Wine, from the
// button's notification (what it sends its window when the mouse button is
// released on it) to the answer label drawn with its new text: the
// program's part of a click, without Wine's emulation of the press, whose
// focus and capture changes cost whatever the X server makes them. Before
// each click the label shows its first caption again, so that every click
// lays the answer out anew, as the user's first one does. Median and
// slowest of the clicks, in microseconds.
// usage: click_timing [CLICKS]
#include "Form1.h"
#include "WideText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char *argv[])
{
    const int clicks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    const Form1 form(GetModuleHandleW(nullptr));
    ShowWindow(form.window(), SW_SHOWNORMAL);
    UpdateWindow(form.window());
    const HWND calculate = form.control(form::Role::Calculate);
    const HWND answer = form.control(form::Role::Answer);
    const std::u16string initial = windowText(answer);

    std::vector<double> micros;
    for (int i = 0; i < clicks; ++i) {
        SetWindowTextW(answer, wide(initial));
        UpdateWindow(answer);
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(calculate), BN_CLICKED),
                     reinterpret_cast<LPARAM>(calculate));
        UpdateWindow(answer);
        const auto end = std::chrono::steady_clock::now();
        if (windowText(answer) == initial) {
            std::puts("the click did not change the answer");
            return 1;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("click to answer drawn: %8.1f us median, %8.1f us slowest (%d clicks)\n",
                micros[micros.size() / 2], micros.back(), clicks);
    return 0;
}
