#include "Form1.h"

#include "ErrorReport.h"
#include "ResourceIds.h"
#include "WideText.h"

#include <algorithm>
#include <optional>

namespace {

constexpr wchar_t kWindowClass[] = L"Vantrel1Form1";
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

COLORREF colour(form::Rgb rgb) noexcept
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

form::Rgb systemColour(int index) noexcept
{
    const COLORREF system = GetSysColor(index);
    return {GetRValue(system), GetGValue(system), GetBValue(system)};
}

// The colours of the user's scheme that the window's ink depends on.
form::SchemeColours schemeColours() noexcept
{
    return {systemColour(COLOR_WINDOWTEXT), systemColour(COLOR_BTNTEXT),
            systemColour(COLOR_BTNFACE)};
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
    const UniqueMemoryDc from(created(CreateCompatibleDC(screen.get()), "picture context"));
    const UniqueMemoryDc to(created(CreateCompatibleDC(screen.get()), "picture context"));
    UniqueBitmap result(
        created(CreateCompatibleBitmap(screen.get(), width, height), "formula picture"));
    const Selection source(from.get(), picture.get());
    const Selection target(to.get(), result.get());
    SetStretchBltMode(to.get(), COLORONCOLOR);
    StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
    return result;
}

// The window class, registered once for the process. It holds no brush and
// no icons: each window erases its own background and sets its own icons, so
// that nothing the class keeps outlives the window that made it.
ATOM windowClass(HINSTANCE instance, WNDPROC procedure)
{
    static const ATOM registered = [instance, procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kWindowClass;
        return created(RegisterClassExW(&windowClass), "window class");
    }();
    return registered;
}

HICON loadIcon(HINSTANCE instance, int widthMetric, int heightMetric)
{
    return created(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resources::kIconGroup),
                                                 IMAGE_ICON, GetSystemMetrics(widthMetric),
                                                 GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR)),
                   "program icon");
}

// The user locale's separator: as the user set it, or with `flags`
// LOCALE_NOUSEROVERRIDE the locale's own. Empty where the system has none.
std::u16string localeSeparator(LCTYPE flags)
{
    const int length =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL | flags, nullptr, 0);
    if (length <= 1)
        return {};
    std::u16string separator(static_cast<std::size_t>(length), u'\0');
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL | flags,
                        reinterpret_cast<wchar_t *>(separator.data()), length) == 0)
        return {};
    separator.resize(static_cast<std::size_t>(length - 1)); // the terminating null
    return separator;
}

} // namespace

form::DecimalSeparators userDecimalSeparators()
{
    return {localeSeparator(0), localeSeparator(LOCALE_NOUSEROVERRIDE)};
}

Form1::Form1(HINSTANCE instance, calc::Calculation calculation, SeparatorQuery separators)
    : separators_(std::move(separators)), model_(*this, std::move(calculation))
{
    dpi_ = GetDeviceCaps(ScreenDc().get(), LOGPIXELSY);
    bigIcon_.reset(loadIcon(instance, SM_CXICON, SM_CYICON));
    smallIcon_.reset(loadIcon(instance, SM_CXSMICON, SM_CYSMICON));
    picture_.reset(created(
        static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(resources::kFormulaBitmap),
                                        IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)),
        "formula picture"));
    windowBrush_.reset(
        created(CreateSolidBrush(colour(form::windowSpec().background)), "window brush"));
    createWindow(instance);
    buildControls(instance);
    std::vector<WindowAccessibility::Control> controls;
    for (const Control &control : controls_)
        controls.push_back({control.row, control.handle});
    accessibility_ = std::make_unique<WindowAccessibility>(window_.get(), controls);
    model_.start(schemeColours());
}

void Form1::createWindow(HINSTANCE instance)
{
    // The client area stands where it is stored; the frame goes around it.
    const form::WindowSpec &properties = form::windowSpec();
    const form::PixelRect client = form::pixelsFromTwips(properties.clientArea, dpi_);
    RECT outer{client.left, client.top, client.left + client.width, client.top + client.height};
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    // The window procedure takes the window over from its first message on.
    created(CreateWindowExW(0, MAKEINTATOM(windowClass(instance, windowProcedure)),
                            wide(properties.caption), kWindowStyle, outer.left, outer.top,
                            outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                            instance, this),
            "window");
    SendMessageW(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void Form1::buildControls(HINSTANCE instance)
{
    for (const form::ControlSpec &row : form::controlSpecs()) {
        const form::PixelRect box = form::pixelBox(row, dpi_);

        const wchar_t *windowClass = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        Control control{&row, nullptr, {}, 0, 0, {}, std::nullopt};
        switch (row.kind) {
        case form::ControlKind::Button:
            windowClass = L"BUTTON";
            style |= BS_PUSHBUTTON;
            if (form::takesFocus(row))
                style |= WS_TABSTOP;
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
            // The line is the control's own background, in its ink
            // (WM_CTLCOLORSTATIC).
            break;
        }
        if (row.background) {
            control.backgroundColour = colour(*row.background);
            control.background.reset(
                created(CreateSolidBrush(control.backgroundColour), "control brush"));
        }

        control.handle =
            created(CreateWindowExW(
                        0, windowClass, wide(row.caption), style, box.left, box.top, box.width,
                        box.height, window_.get(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row.order)),
                        instance, nullptr),
                    row.name);
        // Rows run front to back: each new control goes behind the ones before.
        SetWindowPos(control.handle, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

        // The same font object as the label draws with, made once for all.
        const HFONT font = fonts_.font(form::fontOf(row), dpi_).font.get();
        SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row.kind == form::ControlKind::Image) {
            picture_ = scaled(std::move(picture_), box.width, box.height);
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

COLORREF Form1::ink(const char *name) const noexcept
{
    const auto found = std::ranges::find(controls_, control(name), &Control::handle);
    return found != controls_.end() ? found->ink : 0;
}

const LabelLayout *Form1::label(const char *name) const noexcept
{
    const auto found = std::ranges::find(controls_, control(name), &Control::handle);
    return found != controls_.end() && found->label ? &*found->label : nullptr;
}

HWND Form1::control(form::Role role) const noexcept
{
    return control(form::controlWithRole(role).name);
}

Form1::Control *Form1::controlFor(HWND handle) noexcept
{
    const auto found = std::ranges::find(controls_, handle, &Control::handle);
    return found != controls_.end() ? &*found : nullptr;
}

void Form1::drawLabel(Control &control, const DRAWITEMSTRUCT &item)
{
    // The window text is the caption: whoever set it last, the label shows it.
    const std::u16string caption = windowText(control.handle);
    if (caption != control.label->caption())
        control.label->setCaption(caption);
    const HBRUSH band = control.background ? control.background.get() : windowBrush_.get();
    control.label->draw(item.hDC, item.rcItem, band, control.ink);
}

// Only a button whose caption would not read in the system's text: a frame
// as the system draws one, the caption in its ink.
void Form1::drawButton(const Control &control, const DRAWITEMSTRUCT &item)
{
    RECT box = item.rcItem;
    DrawFrameControl(item.hDC, &box, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (item.itemState & ODS_SELECTED ? DFCS_PUSHED : 0));
    const Selection font(item.hDC, fonts_.font(form::fontOf(*control.row), dpi_).font.get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, control.ink);
    DrawTextW(item.hDC, wide(windowText(control.handle)), -1, &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&box, -4, -4);
        DrawFocusRect(item.hDC, &box);
    }
}

void Form1::keepFocus() noexcept
{
    if (const HWND focus = GetFocus(); focus && IsChild(window_.get(), focus))
        keptFocus_ = focus;
}

void Form1::restoreFocus() const noexcept
{
    if (keptFocus_)
        SetFocus(keptFocus_);
}

void Form1::showCaption(const form::ControlSpec &row, std::u16string_view caption)
{
    SetWindowTextW(control(row.name), wide(caption).c_str());
}

void Form1::setInk(const form::ControlSpec &row, form::Rgb ink)
{
    Control *each = controlFor(control(row.name));
    if (!each)
        return;
    each->ink = colour(ink);
    switch (row.kind) {
    case form::ControlKind::Line:
        each->inkBrush.reset(created(CreateSolidBrush(each->ink), "line brush"));
        break;
    case form::ControlKind::Button: {
        // The system's own button wherever its text is the ink.
        const LONG_PTR style = GetWindowLongPtrW(each->handle, GWL_STYLE);
        const LONG_PTR type =
            each->ink == GetSysColor(COLOR_BTNTEXT) ? BS_PUSHBUTTON : BS_OWNERDRAW;
        if ((style & BS_TYPEMASK) != type)
            SendMessageW(each->handle, BM_SETSTYLE, (style & ~BS_TYPEMASK) | type, FALSE);
        break;
    }
    case form::ControlKind::Label:
    case form::ControlKind::Image:
        break;
    }
    InvalidateRect(each->handle, nullptr, TRUE);
}

void Form1::setFocus(form::Role role, form::FocusReason)
{
    // Also where the focus comes back to when the window is active again.
    keptFocus_ = control(role);
    SetFocus(keptFocus_);
}

form::Role Form1::focused() const
{
    const auto found = std::ranges::find(controls_, GetFocus(), &Control::handle);
    return found != controls_.end() ? found->row->role : form::Role::None;
}

void Form1::announce(std::u16string_view text)
{
    // Readers hear the answer label's name change to the text.
    accessibility_->announce(control(form::Role::Answer), text);
}

void Form1::showErrorBox(std::u16string_view message)
{
    ::showErrorBox(window_.get(), message);
    model_.errorBoxClosed();
}

void Form1::close(int status)
{
    // The loop ends with the status once the window is gone.
    exitStatus_ = status;
    DestroyWindow(window_.get());
}

form::DecimalSeparators Form1::decimalSeparators() const
{
    return separators_();
}

void Form1::reportError(const std::exception_ptr &error) noexcept
{
    model_.reportError(error);
}

void showErrorBox(HWND owner, std::u16string_view text) noexcept
{
    // The text is copied with its terminating null: the view need not have one.
    wchar_t message[512] = {};
    const std::size_t length = std::min(text.size(), std::size(message) - 1);
    std::copy_n(text.begin(), length, message);
    MessageBoxW(owner, message, wide(form::windowSpec().caption), MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self =
            static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window_ = UniqueWindow(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the system's code: whatever a handler
    // throws is reported here, and the program ends.
    try {
        return self->handle(window, message, wParam, lParam);
    } catch (...) {
        self->reportError(std::current_exception());
        return 0;
    }
}

LRESULT Form1::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (accessibility_) {
        if (const auto answer = accessibility_->windowMessage(message, wParam, lParam))
            return *answer;
    }
    switch (message) {
    case WM_COMMAND:
        // (The dialog manager's IDOK and IDCANCEL come with no control.)
        if (HIWORD(wParam) == BN_CLICKED) {
            if (const Control *sender = controlFor(reinterpret_cast<HWND>(lParam)))
                model_.click(sender->row->role);
        }
        return 0;
    // The focused control is kept while the window is inactive or minimized,
    // and has the focus again when the window comes back, as in a dialog.
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            keepFocus();
        else if (!HIWORD(wParam)) // a minimized window holds no focus
            restoreFocus();
        return 0;
    case WM_SIZE:
        // A minimized window may stay active, so no WM_ACTIVATE says so.
        if (wParam == SIZE_MINIMIZED)
            keepFocus();
        break;
    case WM_SETFOCUS:
        // The window itself got the focus (restored, say): on to its control.
        restoreFocus();
        return 0;
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, windowBrush_.get());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        if (const Control *control = controlFor(reinterpret_cast<HWND>(lParam))) {
            if (control->background) {
                SetBkColor(reinterpret_cast<HDC>(wParam), control->backgroundColour);
                return reinterpret_cast<LRESULT>(control->background.get());
            }
            if (control->inkBrush) {
                SetBkColor(reinterpret_cast<HDC>(wParam), control->ink);
                return reinterpret_cast<LRESULT>(control->inkBrush.get());
            }
        }
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // The common controls hear of it only from their window; the model
        // gives every control its ink again.
        for (const Control &control : controls_)
            SendMessageW(control.handle, message, wParam, lParam);
        model_.schemeChanged(schemeColours());
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (Control *control = controlFor(item.hwndItem); control && control->label) {
            drawLabel(*control, item);
            return TRUE;
        }
        if (const Control *control = controlFor(item.hwndItem);
            control && control->row->kind == form::ControlKind::Button) {
            drawButton(*control, item);
            return TRUE;
        }
        break;
    }
    case WM_DESTROY:
        // Only the program's own flow gets here (Exit, the close box, a
        // reported error): a Form1 that is destroyed detaches first.
        PostQuitMessage(exitStatus_);
        return 0;
    case WM_NCDESTROY:
        window_.release();
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

namespace {

// The window's key for a key message, or none where it is nothing of the
// window's. A letter comes as the character the keyboard layout makes of it.
std::optional<form::KeyPress> keyPress(const MSG &message)
{
    switch (message.message) {
    case WM_SYSCHAR:
    case WM_CHAR:
        return form::KeyPress{form::Key::Letter, static_cast<char16_t>(message.wParam),
                              message.message == WM_SYSCHAR};
    case WM_KEYDOWN:
        break;
    default:
        return std::nullopt;
    }
    // Alt held makes a key WM_SYSKEYDOWN; Control is a shortcut, not ours.
    if (GetKeyState(VK_CONTROL) < 0)
        return std::nullopt;
    switch (message.wParam) {
    case VK_TAB:
        return form::KeyPress{GetKeyState(VK_SHIFT) < 0 ? form::Key::Backtab : form::Key::Tab};
    case VK_RETURN:
        return form::KeyPress{form::Key::Enter};
    case VK_SPACE:
        return form::KeyPress{form::Key::Space};
    case VK_ESCAPE:
        return form::KeyPress{form::Key::Escape};
    default:
        return std::nullopt;
    }
}

} // namespace

void Form1::dispatch(MSG &message)
{
    const HWND window = window_.get();
    // Every key of the window's goes to the model first. A key the model
    // takes goes no further: the button would click on Space's release, the
    // dialog manager on Return, either of its own accord.
    if (const std::optional<form::KeyPress> press = keyPress(message);
        press && window && (message.hwnd == window || IsChild(window, message.hwnd)) &&
        model_.pressKey(*press))
        return;
    // The rest of the keyboard as in a dialog; but a plain letter is typing,
    // not a button's access key (the dialog manager would click the button
    // whose letter it is, and "ы" would end the program).
    if (message.message == WM_CHAR || !IsDialogMessageW(window, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int runMessageLoop(Form1 &form)
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        form.dispatch(message);
    return static_cast<int>(message.wParam);
}
