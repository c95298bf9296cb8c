#include "Form1.h"

#include "AnswerText.h"
#include "Contrast.h"
#include "ErrorReport.h"
#include "Factorial.h"
#include "LayoutTable.h"
#include "ResourceIds.h"
#include "WideText.h"

#include <algorithm>

namespace {

constexpr wchar_t kWindowClass[] = L"Vantrel1Form1";
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

COLORREF colour(form::Rgb rgb) noexcept
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

form::Rgb rgb(COLORREF colour) noexcept
{
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

RECT rectFrom(const form::PixelRect &box) noexcept
{
    return {box.left, box.top, box.left + box.width, box.top + box.height};
}

std::string toUtf8(std::wstring_view text)
{
    const int size = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::wstring fromUtf8(std::string_view utf8)
{
    const int size = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(std::max(units, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, result.data(), units);
    return result;
}

// The user's decimal separator, as UTF-8, however long the user made it.
std::string decimalSeparator()
{
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, nullptr, 0);
    if (length <= 0)
        return ".";
    std::wstring separator(static_cast<std::size_t>(length), L'\0');
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator.data(), length) == 0)
        return ".";
    separator.resize(static_cast<std::size_t>(length - 1)); // the terminating null
    return toUtf8(separator);
}

// The picture stretched to fill `width` x `height`, each pixel taken from
// the nearest one: at a whole factor, every pixel repeated.
UniqueBitmap scaled(UniqueBitmap picture, int width, int height)
{
    BITMAP info{};
    GetObjectW(picture.get(), sizeof info, &info);
    if (info.bmWidth == width && info.bmHeight == height)
        return picture;
    const ScreenDc screen;
    const UniqueMemoryDc from(CreateCompatibleDC(screen.get()));
    const UniqueMemoryDc to(CreateCompatibleDC(screen.get()));
    UniqueBitmap result(CreateCompatibleBitmap(screen.get(), width, height));
    const Selection source(from.get(), picture.get());
    const Selection target(to.get(), result.get());
    SetStretchBltMode(to.get(), COLORONCOLOR);
    StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
    return result;
}

} // namespace

Form1::Form1(HINSTANCE instance, calc::SeriesState start) : start_(start)
{
    dpi_ = GetDeviceCaps(ScreenDc().get(), LOGPIXELSY);
    windowBrush_.reset(CreateSolidBrush(colour(form::windowSpec().background)));
    createWindow(instance);
    buildControls(instance);
    SetFocus(control("Command1"));
}

Form1::~Form1()
{
    if (IsWindow(window_))
        DestroyWindow(window_);
}

void Form1::createWindow(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    // No class brush: the class outlives this window and its brush, so the
    // window erases its own background.
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
    RECT outer = rectFrom(form::pixelsFromTwips(client, dpi_));
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    window_ = CreateWindowExW(0, kWindowClass, wide(properties.caption), kWindowStyle, outer.left,
                              outer.top, outer.right - outer.left, outer.bottom - outer.top,
                              nullptr, nullptr, instance, this);
}

void Form1::buildControls(HINSTANCE instance)
{
    const COLORREF systemText = GetSysColor(COLOR_WINDOWTEXT);
    // A line is as thick as one pixel at 96 dpi, and never thinner than one.
    const int lineWidth = std::max(1, form::pixelsFromTwips(form::kTwipsPerPixel, dpi_));

    for (const form::ControlSpec &row : form::controlSpecs()) {
        RECT box{};
        if (const auto *rect = std::get_if<form::TwipsRect>(&row.geometry)) {
            box = rectFrom(form::pixelsFromTwips(*rect, dpi_));
        } else {
            // A line covers its end points, both drawn.
            const auto &line = std::get<form::TwipsLine>(row.geometry);
            const int x1 = form::pixelsFromTwips(std::min(line.x1, line.x2), dpi_);
            const int y1 = form::pixelsFromTwips(std::min(line.y1, line.y2), dpi_);
            const int x2 = form::pixelsFromTwips(std::max(line.x1, line.x2), dpi_);
            const int y2 = form::pixelsFromTwips(std::max(line.y1, line.y2), dpi_);
            box = {x1, y1, x2 + lineWidth, y2 + lineWidth};
        }

        const wchar_t *windowClass = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        Control control{&row, nullptr, {}, 0, std::nullopt};
        switch (row.kind) {
        case form::ControlKind::Button:
            windowClass = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case form::ControlKind::Label:
            // The window draws the text; the control keeps the whole caption
            // as its text, the name assistive technology reads.
            style |= SS_OWNERDRAW;
            control.label.emplace(row, dpi_, fonts_);
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
            control.background.reset(CreateSolidBrush(control.backgroundColour));

        control.handle = CreateWindowExW(
            0, windowClass, wide(row.caption), style, box.left, box.top, box.right - box.left,
            box.bottom - box.top, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row.order)), instance,
            nullptr);
        // Rows run front to back: each new control goes behind the ones before.
        SetWindowPos(control.handle, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

        // The same font object as the label draws with, made once for all.
        const HFONT font =
            fonts_.font(row.font ? *row.font : form::windowSpec().font, dpi_).font.get();
        SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row.kind == form::ControlKind::Image) {
            picture_ = scaled(UniqueBitmap(static_cast<HBITMAP>(
                                  LoadImageW(instance, MAKEINTRESOURCEW(resources::kFormulaBitmap),
                                             IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR))),
                              box.right - box.left, box.bottom - box.top);
            SendMessageW(control.handle, STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(picture_.get()));
        }
        controls_.push_back(std::move(control));
    }
}

HWND Form1::control(const char *name) const noexcept
{
    for (const Control &control : controls_) {
        if (std::string_view(control.row->name) == name)
            return control.handle;
    }
    return nullptr;
}

Form1::Control *Form1::controlFor(HWND handle) noexcept
{
    for (Control &control : controls_) {
        if (control.handle == handle)
            return &control;
    }
    return nullptr;
}

void Form1::drawLabel(Control &control, const DRAWITEMSTRUCT &item)
{
    // The window text is the caption: whoever set it last, the label shows it.
    std::u16string caption(static_cast<std::size_t>(GetWindowTextLengthW(control.handle)) + 1,
                           u'\0');
    caption.resize(static_cast<std::size_t>(
        GetWindowTextW(control.handle, reinterpret_cast<wchar_t *>(caption.data()),
                       static_cast<int>(caption.size()))));
    if (caption != control.label->caption())
        control.label->setCaption(caption);

    const bool ownBand = static_cast<bool>(control.background);
    const HBRUSH band = ownBand ? control.background.get() : windowBrush_.get();
    const form::Rgb bandColour =
        ownBand ? rgb(control.backgroundColour) : form::windowSpec().background;
    // Text the table gives no colour keeps to the scheme's text colour where
    // that reads on the band, else black or white.
    const COLORREF ink =
        control.row->foreground
            ? colour(*control.row->foreground)
            : colour(form::legibleInk(rgb(GetSysColor(COLOR_WINDOWTEXT)), bandColour));
    control.label->draw(item.hDC, item.rcItem, band, ink);
}

calc::Variant Form1::f(const std::int16_t &k) const
{
    return calc::f(k);
}

void Form1::Command1_Click()
{
    const calc::SeriesSum sum = calc::sumSeriesFrom(start_, calc::seriesTerm);
    const std::string answer = calc::makeAnswerText(sum.s, sum.k, decimalSeparator());
    SetWindowTextW(control("Label4"), fromUtf8(answer).c_str());
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
        if (const auto letter = form::accessKey(row.caption);
            letter && upper(static_cast<wchar_t>(*letter)) == upper(key)) {
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
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, windowBrush_.get());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        if (const Control *control = controlFor(reinterpret_cast<HWND>(lParam));
            control && control->background) {
            SetBkColor(reinterpret_cast<HDC>(wParam), control->backgroundColour);
            return reinterpret_cast<LRESULT>(control->background.get());
        }
        break;
    case WM_DRAWITEM:
        if (Control *control =
                controlFor(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)->hwndItem);
            control && control->label) {
            drawLabel(*control, *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
            return TRUE;
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
        // Tab, Enter and the rest of the keyboard as in a dialog; but a
        // plain letter is typing, not a button's access key (the dialog
        // manager would click the button whose letter it is, and "ы" would
        // end the program): only Alt with the letter clicks.
        if (message.message == WM_CHAR || !IsDialogMessageW(form.window(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
