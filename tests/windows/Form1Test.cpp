// Form1 over Win32, run under Wine: the controls it builds from the table,
// what it draws, what the system may refuse it, and the labels' layout at
// every dpi the window is drawn at. What the window does is the conformance
// suite's (WindowConformanceTest.cpp).
#include "Form1.h"

#include "Fonts.h"
#include "LabelLayout.h"
#include "WindowTable.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
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

// 100 %, 125 %, 150 % and 200 %.
constexpr int kDpis[] = {96, 120, 144, 192};

form::PixelRect boxAt(const char *name, int dpi)
{
    return form::pixelsFromTwips(std::get<form::TwipsRect>(form::findControl(name)->geometry), dpi);
}

// Each run of characters other than spaces where the label draws it.
std::vector<RECT> wordBoxes(const LabelLayout &laid)
{
    const std::u16string text = form::ShownCaption::fromCaption(laid.caption()).text;
    std::vector<RECT> boxes;
    for (std::size_t i = 0; i < laid.lines().size(); ++i) {
        const form::CaptionLine &line = laid.lines()[i];
        const RECT box = laid.lineBox(i);
        for (std::size_t pos = line.start; pos < line.inkEnd(); ++pos) {
            const std::size_t start = pos;
            while (pos < line.inkEnd() && text[pos] != u' ')
                ++pos;
            if (pos > start)
                boxes.push_back({laid.x(line, start), box.top, laid.x(line, pos), box.bottom});
        }
    }
    return boxes;
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
}

// A window's end, the first of two made one after the other, asks no loop
// to quit: the program ends through the model alone. (That the second one
// draws with brushes of its own is the conformance suite's, whose windows
// all live in one process.)
TEST(Form1, AWindowsEndAsksNoLoopToQuit)
{
    for (int round = 0; round < 2; ++round) {
        const Form1 form(GetModuleHandleW(nullptr));
        ShowWindow(form.window(), SW_SHOWNORMAL);
        UpdateWindow(form.window());
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
    SetFocus(form.control(form::Role::Exit));
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
TEST(Form1, AMissingResourceIsAnError)
{
    try {
        const Form1 form(GetModuleHandleW(L"kernel32.dll"));
        ADD_FAILURE() << "a window without its icons";
    } catch (const CreationError &error) {
        EXPECT_STREQ(error.what(), "program icon");
        EXPECT_NE(error.code(), 0u);
    }
}

namespace {

// The window made before a later part failed goes with the error: a hook
// refuses the Calculate button, which is made after the window itself.
struct RefusedControl
{
    int id = 0;
    bool windowMade = false;
};
RefusedControl refused;

LRESULT CALLBACK refuseControl(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW &create = *reinterpret_cast<CBT_CREATEWNDW *>(lParam)->lpcs;
        if (!create.hwndParent)
            refused.windowMade = true;
        else if (create.hMenu == reinterpret_cast<HMENU>(static_cast<INT_PTR>(refused.id)))
            return 1; // the system will not make it
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST(Form1, AControlTheSystemWillNotMakeIsAnErrorAndLeavesNoWindow)
{
    const form::ControlSpec &calculate = form::controlWithRole(form::Role::Calculate);
    refused = {Form1::kFirstControlId + calculate.order, false};
    const HHOOK hook = SetWindowsHookExW(WH_CBT, refuseControl, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    try {
        const Form1 form(GetModuleHandleW(nullptr));
        ADD_FAILURE() << "a window without its Calculate button";
    } catch (const CreationError &error) {
        EXPECT_STREQ(error.what(), calculate.name);
    }
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(refused.windowMade);
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
            for (const RECT &word : wordBoxes(laid)) {
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
    form::FontSpec italic = window;
    italic.italic = true;
    EXPECT_NE(&fonts.font(italic, 96), &first);
}

namespace {

// A 32-bit top-down bitmap to draw into, with a context selecting it.
struct Canvas
{
    Canvas(int width, int height) : width(width), height(height)
    {
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height; // top row first
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        bitmap.reset(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
        selected.emplace(dc.get(), bitmap.get());
    }
    std::uint32_t at(int x, int y) const
    {
        GdiFlush();
        return static_cast<const std::uint32_t *>(bits)[y * width + x] & 0xFFFFFF;
    }

    int width, height;
    void *bits = nullptr;
    UniqueBitmap bitmap;
    UniqueMemoryDc dc{CreateCompatibleDC(nullptr)};
    std::optional<Selection> selected;
};

bool lacks(const MeasuredFont &font, std::u16string_view text)
{
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const Selection selected(dc.get(), font.font.get());
    return std::ranges::any_of(missingCharacters(dc.get(), text), std::identity{});
}

} // namespace

// A character the label's face lacks (Wine's MS Sans Serif has no "\u066B",
// the Arabic decimal separator) is drawn from a face that has it, and takes
// that face's width in the layout; the digits keep the label's face.
TEST(LabelLayout, ACharacterTheFaceLacksIsDrawnFromAFaceThatHasIt)
{
    const form::ControlSpec &row = *form::findControl("Label4");
    FontCache fonts;
    const MeasuredFont &own = fonts.font(*row.font, 96);
    ASSERT_TRUE(lacks(own, u"\u066B")) << "the label's face has the glyph: nothing to test";
    ASSERT_FALSE(lacks(own, u"0"));
    const std::optional<std::u16string> face = faceWithCharacters(*row.font, u"\u066B");
    ASSERT_TRUE(face.has_value());
    form::FontSpec fallbackFont = *row.font;
    fallbackFont.face = *face;
    fallbackFont.charset = DEFAULT_CHARSET;
    const MeasuredFont &other = fonts.font(fallbackFont, 96);
    ASSERT_FALSE(lacks(other, u"\u066B"));

    LabelLayout laid(row, 96, fonts);
    laid.setCaption(u"0 \u066B 0");
    const std::vector<RECT> words = wordBoxes(laid);
    ASSERT_EQ(words.size(), 3u);
    SIZE separator{};
    const form::PixelRect box = boxAt("Label4", 96);
    Canvas drawn(box.width, box.height), expected(box.width, box.height);
    const RECT area{0, 0, box.width, box.height};
    const UniqueBrush band(CreateSolidBrush(RGB(0, 0, 0)));
    laid.draw(drawn.dc.get(), area, band.get(), RGB(255, 255, 255));

    // The same three words, each drawn alone where the layout put it, in the
    // face that has its characters.
    FillRect(expected.dc.get(), &area, band.get());
    SetBkMode(expected.dc.get(), TRANSPARENT);
    SetTextColor(expected.dc.get(), RGB(255, 255, 255));
    const std::pair<const wchar_t *, const MeasuredFont *> parts[] = {
        {L"0", &own}, {L"\u066B", &other}, {L"0", &own}};
    for (std::size_t i = 0; i < 3; ++i) {
        const Selection selected(expected.dc.get(), parts[i].second->font.get());
        ExtTextOutW(expected.dc.get(), words[i].left, words[i].top, 0, nullptr, parts[i].first, 1,
                    nullptr);
        if (i == 1)
            GetTextExtentPoint32W(expected.dc.get(), parts[i].first, 1, &separator);
    }
    EXPECT_EQ(words[1].right - words[1].left, separator.cx);
    int differ = 0, inked = 0;
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            differ += drawn.at(x, y) != expected.at(x, y);
            inked += expected.at(x, y) != 0;
        }
    }
    EXPECT_GT(inked, 0);
    EXPECT_EQ(differ, 0);
}
