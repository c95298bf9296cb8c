#include "Form1.h"

#include "AnswerText.h"
#include "ErrorReport.h"
#include "Factorial.h"
#include "LayoutTable.h"
#include "ResourceIds.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr wchar_t kWindowClass[] = L"Vantrel1Form1";
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

COLORREF colour(form::Rgb rgb) noexcept
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is UTF-16 on Windows");

const wchar_t *wide(const std::u16string &text) noexcept
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

std::wstring wide(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

// The user's decimal separator, as UTF-8.
std::string decimalSeparator()
{
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0)
        return ".";
    char utf8[32] = {};
    if (WideCharToMultiByte(CP_UTF8, 0, separator, -1, utf8, sizeof utf8, nullptr, nullptr) == 0)
        return ".";
    return utf8;
}

// The picture enlarged by a whole factor, pixel for pixel.
HBITMAP scaled(HBITMAP picture, int factor)
{
    if (factor <= 1)
        return picture;
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP result = CreateCompatibleBitmap(screen, info.bmWidth * factor, info.bmHeight * factor);
    HGDIOBJ oldFrom = SelectObject(from, picture);
    HGDIOBJ oldTo = SelectObject(to, result);
    SetStretchBltMode(to, COLORONCOLOR);
    StretchBlt(to, 0, 0, info.bmWidth * factor, info.bmHeight * factor, from, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    return result;
}

} // namespace

Form1::Form1(HINSTANCE instance, calc::SeriesState start) : start_(start)
{
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    windowBrush_ = CreateSolidBrush(colour(form::windowSpec().background));
    createWindow(instance);
    buildControls(instance);
    SetFocus(control("Command1"));
}

Form1::~Form1()
{
    if (IsWindow(window_))
        DestroyWindow(window_);
    for (const Control &control : controls_) {
        if (control.background)
            DeleteObject(control.background);
    }
    for (HFONT font : fonts_)
        DeleteObject(font);
    if (picture_)
        DeleteObject(picture_);
    DeleteObject(windowBrush_);
}

void Form1::createWindow(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = windowBrush_;
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(resources::kIconGroup), IMAGE_ICON,
                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(resources::kIconGroup), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    RegisterClassExW(&windowClass);

    // The client area stands where it is stored; the frame goes around it.
    const form::WindowSpec &properties = form::windowSpec();
    const form::TwipsRect &client = properties.clientArea;
    RECT outer{form::pixelsFromTwips(client.left, dpi_), form::pixelsFromTwips(client.top, dpi_),
               form::pixelsFromTwips(client.left + client.width, dpi_),
               form::pixelsFromTwips(client.top + client.height, dpi_)};
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    window_ = CreateWindowExW(0, kWindowClass, wide(properties.caption), kWindowStyle, outer.left,
                              outer.top, outer.right - outer.left, outer.bottom - outer.top,
                              nullptr, nullptr, instance, this);
}

HFONT Form1::fontFor(const form::FontSpec &wanted)
{
    HFONT font =
        CreateFontW(-static_cast<int>(std::lround(wanted.points * dpi_ / 72.0)), 0, 0, 0,
                    wanted.weight, wanted.italic, wanted.underline, wanted.strikeOut,
                    static_cast<DWORD>(wanted.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, wide(wanted.face));
    fonts_.push_back(font);
    return font;
}

void Form1::buildControls(HINSTANCE instance)
{
    const HFONT defaultFont = fontFor(form::windowSpec().font);
    const COLORREF systemText = GetSysColor(COLOR_WINDOWTEXT);
    const int scale = std::max(1, dpi_ / 96);

    for (const form::ControlSpec &row : form::controlSpecs()) {
        RECT box{};
        if (const auto *rect = std::get_if<form::TwipsRect>(&row.geometry)) {
            box = {form::pixelsFromTwips(rect->left, dpi_), form::pixelsFromTwips(rect->top, dpi_),
                   form::pixelsFromTwips(rect->left + rect->width, dpi_),
                   form::pixelsFromTwips(rect->top + rect->height, dpi_)};
        } else {
            // A line covers its end points, both drawn, one pixel wide.
            const auto &line = std::get<form::TwipsLine>(row.geometry);
            const int x1 = form::pixelsFromTwips(std::min(line.x1, line.x2), dpi_);
            const int y1 = form::pixelsFromTwips(std::min(line.y1, line.y2), dpi_);
            const int x2 = form::pixelsFromTwips(std::max(line.x1, line.x2), dpi_);
            const int y2 = form::pixelsFromTwips(std::max(line.y1, line.y2), dpi_);
            box = {x1, y1, x2 + scale, y2 + scale};
        }

        const wchar_t *windowClass = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        Control control{row.name, nullptr, nullptr, 0, systemText};
        switch (row.kind) {
        case form::ControlKind::Button:
            windowClass = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case form::ControlKind::Label:
            style |= row.alignment == form::Alignment::Centre  ? SS_CENTER
                     : row.alignment == form::Alignment::Right ? SS_RIGHT
                                                               : SS_LEFT;
            break;
        case form::ControlKind::Image:
            style |= SS_BITMAP;
            break;
        case form::ControlKind::Line:
            // The line is the control's own background, in the text colour.
            control.backgroundColour = systemText;
            break;
        }
        if (row.background)
            control.backgroundColour = colour(*row.background);
        if (row.background || row.kind == form::ControlKind::Line)
            control.background = CreateSolidBrush(control.backgroundColour);
        if (row.foreground)
            control.text = colour(*row.foreground);

        control.handle = CreateWindowExW(
            0, windowClass, wide(row.caption), style, box.left, box.top, box.right - box.left,
            box.bottom - box.top, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row.order)), instance,
            nullptr);
        // Rows run front to back: each new control goes behind the ones before.
        SetWindowPos(control.handle, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

        const HFONT font = row.font ? fontFor(*row.font) : defaultFont;
        SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row.kind == form::ControlKind::Image) {
            picture_ = scaled(static_cast<HBITMAP>(
                                  LoadImageW(instance, MAKEINTRESOURCEW(resources::kFormulaBitmap),
                                             IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)),
                              scale);
            SendMessageW(control.handle, STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(picture_));
        }
        controls_.push_back(control);
    }
}

HWND Form1::control(const char *name) const noexcept
{
    for (const Control &control : controls_) {
        if (std::string_view(control.name) == name)
            return control.handle;
    }
    return nullptr;
}

const Form1::Control *Form1::controlFor(HWND handle) const noexcept
{
    for (const Control &control : controls_) {
        if (control.handle == handle)
            return &control;
    }
    return nullptr;
}

calc::Variant Form1::f(const std::int16_t &k) const
{
    return calc::f(k);
}

void Form1::Command1_Click()
{
    const calc::SeriesSum sum = calc::sumSeriesFrom(start_, calc::seriesTerm);
    const std::string answer = calc::makeAnswerText(sum.s, sum.k, decimalSeparator());
    wchar_t text[64] = {};
    MultiByteToWideChar(CP_UTF8, 0, answer.c_str(), -1, text, 64);
    SetWindowTextW(control("Label4"), text);
}

void Form1::Command2_Click()
{
    DestroyWindow(window_);
}

bool Form1::pressAccessKey(wchar_t key) const
{
    const auto upper = [](wchar_t c) {
        CharUpperBuffW(&c, 1);
        return c;
    };
    for (const form::ControlSpec &row : form::controlSpecs()) {
        if (row.kind != form::ControlKind::Button)
            continue;
        const std::size_t marker = row.caption.find(u'&');
        if (marker + 1 < row.caption.size() &&
            upper(static_cast<wchar_t>(row.caption[marker + 1])) == upper(key)) {
            SendMessageW(control(row.name), BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

void Form1::clickFocusedButton()
{
    const HWND focus = GetFocus();
    if (focus == control("Command1") || focus == control("Command2"))
        SendMessageW(focus, BM_CLICK, 0, 0);
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self =
            static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the system's code: whatever a handler
    // throws is reported here, and the program ends.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        const std::wstring text = wide(form::errorMessage(std::current_exception()));
        MessageBoxW(window, text.c_str(), wide(form::windowSpec().caption), MB_OK | MB_ICONERROR);
        self->exitStatus_ = form::kExitStatusReportedError;
        DestroyWindow(window);
        return 0;
    }
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            // Enter, through the dialog keyboard handling: the focused button.
            clickFocusedButton();
        } else if (HIWORD(wParam) == BN_CLICKED) {
            const HWND sender = reinterpret_cast<HWND>(lParam);
            if (sender == control("Command1"))
                Command1_Click();
            else if (sender == control("Command2"))
                Command2_Click();
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        if (const Control *control = controlFor(reinterpret_cast<HWND>(lParam));
            control && control->background) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, control->backgroundColour);
            SetTextColor(dc, control->text);
            return reinterpret_cast<LRESULT>(control->background);
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(exitStatus_);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

int runMessageLoop(const Form1 &form)
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_SYSCHAR &&
            form.pressAccessKey(static_cast<wchar_t>(message.wParam)))
            continue;
        // Tab, Enter and the rest of the keyboard as in a dialog.
        if (!IsDialogMessageW(form.window(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
