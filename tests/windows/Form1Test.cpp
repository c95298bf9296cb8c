// Form1 over Win32, run under Wine: the failure path that the program's own
// start values never reach, the control table it was built from, and the
// labels' layout at every dpi the window is drawn at.
#include "Form1.h"

#include "ErrorReport.h"
#include "Fonts.h"
#include "LabelLayout.h"
#include "LayoutTable.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <ranges>
#include <string>
#include <utility>

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

// 100 %, 125 %, 150 % and 200 %.
constexpr int kDpis[] = {96, 120, 144, 192};

form::PixelRect boxAt(const char *name, int dpi)
{
    return form::pixelsFromTwips(std::get<form::TwipsRect>(form::findControl(name)->geometry), dpi);
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

// Where each control stands, which is in front, and where Tab goes, read
// back through the Win32 API.
TEST(Form1, PlacesStackingAndTabOrderAreTheTables)
{
    const Form1 form(GetModuleHandleW(nullptr));
    const int dpi = GetDeviceCaps(ScreenDc().get(), LOGPIXELSY);
    HWND child = GetWindow(form.window(), GW_CHILD); // the front one
    for (const form::ControlSpec &row : form::controlSpecs()) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(child, form.control(row.name)); // front to back, as the rows run
        RECT box{};
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, form.window(), reinterpret_cast<POINT *>(&box), 2);
        const form::PixelRect want =
            std::holds_alternative<form::TwipsRect>(row.geometry)
                ? form::pixelsFromTwips(std::get<form::TwipsRect>(row.geometry), dpi)
                : form::pixelsCovering(std::get<form::TwipsLine>(row.geometry), dpi);
        EXPECT_EQ((form::PixelRect{box.left, box.top, box.right - box.left, box.bottom - box.top}),
                  want);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);

    // Tab order by tab index, though Exit stands in front of Calculate.
    SetFocus(form.control(form::Role::Calculate));
    form.moveFocus(false);
    EXPECT_EQ(GetFocus(), form.control(form::Role::Exit));
    form.moveFocus(false);
    EXPECT_EQ(GetFocus(), form.control(form::Role::Calculate));
    form.moveFocus(true);
    EXPECT_EQ(GetFocus(), form.control(form::Role::Exit));
}

// The bands' colours on the screen, for each of two windows made one after
// the other in the process: the second draws with brushes of its own, and
// the first one's end asks no loop to quit.
TEST(Form1, EachWindowDrawsTheTablesColours)
{
    struct Probe
    {
        int x, y;
        COLORREF colour;
        const char *what;
    };
    const Probe probes[] = {
        {4, 50, RGB(0, 0, 255), "window"},          {398, 85, RGB(255, 255, 0), "Label1"},
        {290, 120, RGB(255, 0, 255), "Label2"},     {303, 175, RGB(255, 255, 255), "Label3"},
        {10, 130, RGB(0, 0, 0), "Label4"},          {20, 136, RGB(0, 0, 0), "Line3 over Label4"},
        {0, 100, RGB(0, 0, 0), "Line5, left edge"}, {405, 100, RGB(0, 0, 255), "right of buttons"},
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "first window" : "second window");
        const Form1 form(GetModuleHandleW(nullptr));
        ASSERT_EQ(GetDeviceCaps(ScreenDc().get(), LOGPIXELSY), 96);
        ShowWindow(form.window(), SW_SHOWNORMAL);
        UpdateWindow(form.window());
        const HDC dc = GetDC(form.window());
        for (const Probe &probe : probes)
            EXPECT_EQ(GetPixel(dc, probe.x, probe.y), probe.colour) << probe.what;
        ReleaseDC(form.window(), dc);
    }
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Form1, TheFocusedControlIsKeptAcrossMinimizeAndRestore)
{
    const Form1 form(GetModuleHandleW(nullptr));
    ShowWindow(form.window(), SW_SHOWNORMAL);
    const auto pump = [] {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    };
    form.moveFocus(false);
    ASSERT_EQ(GetFocus(), form.control(form::Role::Exit));
    ShowWindow(form.window(), SW_MINIMIZE);
    pump();
    EXPECT_TRUE(IsIconic(form.window()));
    ShowWindow(form.window(), SW_RESTORE);
    pump();
    EXPECT_EQ(GetFocus(), form.control(form::Role::Exit));
}

// A part the system will not make (here: the icons, from a module without
// them) is an error for the one report, not a window drawn without it.
TEST(Form1, AMissingResourceIsAnErrorAndLeavesNoWindow)
{
    EXPECT_THROW(Form1 form(GetModuleHandleW(L"kernel32.dll")), CreationError);
    EXPECT_EQ(FindWindowW(L"Vantrel1Form1", nullptr), nullptr);
}

// One font object per font the table names: the buttons and the labels
// without a font of their own share the window's.
TEST(Form1, ControlsOfOneFontShareOneFontObject)
{
    Form1 form(GetModuleHandleW(nullptr));
    const auto fontOf = [&](const char *name) {
        return reinterpret_cast<HFONT>(SendMessageW(form.control(name), WM_GETFONT, 0, 0));
    };
    const HFONT windowFont = fontOf("Command1");
    ASSERT_NE(windowFont, nullptr);
    for (const char *name : {"Command2", "Label1", "Label2", "Label3"})
        EXPECT_EQ(fontOf(name), windowFont) << name;
    EXPECT_NE(fontOf("Label4"), nullptr);
    EXPECT_NE(fontOf("Label4"), windowFont);
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
    // The window's own icons, not the class's: a later window has its own.
    for (int round = 0; round < 2; ++round) {
        const Form1 window(GetModuleHandleW(nullptr));
        EXPECT_EQ(iconWidth(reinterpret_cast<HICON>(
                      SendMessageW(window.window(), WM_GETICON, ICON_BIG, 0))),
                  GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(iconWidth(reinterpret_cast<HICON>(
                      SendMessageW(window.window(), WM_GETICON, ICON_SMALL, 0))),
                  GetSystemMetrics(SM_CXSMICON));
    }

    // The picture fills its box: 77 x 45 pixels at 96 dpi.
    BITMAP picture{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HBITMAP>(
                             SendMessageW(form.control("Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0)),
                         sizeof picture, &picture),
              0);
    const form::PixelRect box = boxAt("Image1", GetDeviceCaps(ScreenDc().get(), LOGPIXELSY));
    EXPECT_EQ(picture.bmWidth, box.width);
    EXPECT_EQ(picture.bmHeight, box.height);
}

TEST(Form1, ARuntimeErrorIsReportedOnceAndEndsTheProgram)
{
    // Starting the series at 171 makes the first factorial overflow.
    Form1 form(GetModuleHandleW(nullptr), [] {
        return calc::sumSeriesFrom({0.0, 1.0, 171}, calc::seriesTerm);
    });
    ASSERT_NE(form.window(), nullptr);
    SetTimer(nullptr, 0, 50, dismissMessageBox);
    SetTimer(nullptr, 0, 10000, giveUp);
    PostMessageW(form.control("Command1"), BM_CLICK, 0, 0);
    const int status = runMessageLoop(form);
    EXPECT_EQ(status, form::kExitStatusReportedError);
    EXPECT_EQ(boxText, L"Ошибка выполнения: переполнение (Overflow).");
    EXPECT_FALSE(IsWindow(form.window()));
}

TEST(LabelLayout, EveryDpiKeepsThe96DpiLinesInsideTheLabelAndClearOfThePicture)
{
    const std::pair<const char *, std::size_t> labels[] = {
        {"Label1", 6}, {"Label2", 2}, {"Label3", 2}, {"Label4", 1}};
    for (const auto &[name, lineCount] : labels) {
        const form::ControlSpec &row = *form::findControl(name);
        FontCache fonts;
        const LabelLayout at96(row, 96, fonts);
        EXPECT_EQ(at96.lines().size(), lineCount) << name;
        for (const int dpi : kDpis) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(dpi) + " dpi");
            const LabelLayout laid(row, dpi, fonts);
            EXPECT_TRUE(std::ranges::equal(laid.lines(), at96.lines()));
            const form::PixelRect box = boxAt(name, dpi), image = boxAt("Image1", dpi);
            for (std::size_t i = 0; i < laid.lines().size(); ++i) {
                const RECT line = laid.lineBox(i);
                EXPECT_TRUE(line.left >= 0 && line.right <= box.width && line.bottom <= box.height)
                    << "line " << i << " ends at " << line.right << "," << line.bottom;
            }
            const RECT picture{image.left - box.left, image.top - box.top,
                               image.left - box.left + image.width,
                               image.top - box.top + image.height};
            for (const RECT &word : laid.wordBoxes()) {
                RECT overlap{};
                EXPECT_FALSE(IntersectRect(&overlap, &word, &picture))
                    << "under the picture: the word at " << word.left << "," << word.top;
            }
        }
    }
}

// The text drawn stays in the boxes the layout reports, so what the test
// above checks is what the label shows.
TEST(LabelLayout, InkFallsOnlyInItsLinesBoxes)
{
    const UniqueBrush band(CreateSolidBrush(RGB(255, 255, 0)));
    FontCache fonts;
    for (const int dpi : kDpis) {
        SCOPED_TRACE(dpi);
        const form::PixelRect box = boxAt("Label1", dpi);
        const LabelLayout laid(*form::findControl("Label1"), dpi, fonts);
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = box.width;
        format.bmiHeader.biHeight = -box.height; // top row first
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        void *bits = nullptr;
        const UniqueBitmap canvas(
            CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
        const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        const Selection selected(dc.get(), canvas.get());
        laid.draw(dc.get(), RECT{0, 0, box.width, box.height}, band.get(), RGB(0, 0, 0));
        GdiFlush();

        // A glyph may reach a 96-dpi pixel past its advance.
        std::vector<RECT> lines;
        for (std::size_t i = 0; i < laid.lines().size(); ++i) {
            lines.push_back(laid.lineBox(i));
            InflateRect(&lines.back(), std::max(1, dpi / 96), 0);
        }
        int inked = 0, stray = 0;
        for (int y = 0; y < box.height; ++y) {
            for (int x = 0; x < box.width; ++x) {
                if ((static_cast<const std::uint32_t *>(bits)[y * box.width + x] & 0xFFFFFF) ==
                    0xFFFF00)
                    continue;
                ++inked;
                if (std::ranges::none_of(lines, [&](const RECT &r) {
                        return PtInRect(&r, {x, y});
                    }))
                    ++stray;
            }
        }
        EXPECT_GT(inked, 1000);
        EXPECT_EQ(stray, 0);
    }
}

// The metrics handed out with a font are those of that font, the stand-in
// face's where the bitmap face had no cell of the size.
TEST(Fonts, EveryDpiGetsTheFullSizeNotASmallerCell)
{
    for (const form::FontSpec &font :
         {form::windowSpec().font, *form::findControl("Label4")->font}) {
        for (const int dpi : kDpis) {
            SCOPED_TRACE(std::to_string(font.points) + " pt at " + std::to_string(dpi) + " dpi");
            const MeasuredFont made = createFont(font, dpi);
            const TEXTMETRICW metrics = textMetrics(made.font.get());
            // A scalable face rounds its em to the pixel its own way.
            EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading, form::emPixels(font, dpi), 1);
            EXPECT_EQ(made.metrics.tmHeight, metrics.tmHeight);
            EXPECT_EQ(made.metrics.tmAscent, metrics.tmAscent);
            EXPECT_EQ(made.metrics.tmExternalLeading, metrics.tmExternalLeading);
            EXPECT_EQ(made.metrics.tmPitchAndFamily, metrics.tmPitchAndFamily);
        }
    }
}

TEST(Fonts, TheCacheMakesEachFontAtEachDpiOnce)
{
    FontCache fonts;
    const form::FontSpec &window = form::windowSpec().font;
    const form::FontSpec &answer = *form::findControl("Label4")->font;
    const MeasuredFont &first = fonts.font(window, 96);
    // Other fonts made since move nothing handed out.
    for (const int dpi : kDpis) {
        EXPECT_NE(fonts.font(answer, dpi).font.get(), first.font.get());
        if (dpi != 96) {
            EXPECT_NE(fonts.font(window, dpi).font.get(), first.font.get()) << dpi;
        }
    }
    EXPECT_EQ(&fonts.font(window, 96), &first);
    EXPECT_EQ(&fonts.font(form::FontSpec(window), 96), &first); // by value, not by address
    EXPECT_EQ(&fonts.font(answer, 144), &fonts.font(answer, 144));
    form::FontSpec italic = window;
    italic.italic = true;
    EXPECT_NE(&fonts.font(italic, 96), &first);
    EXPECT_EQ(textMetrics(first.font.get()).tmHeight, first.metrics.tmHeight);
}
