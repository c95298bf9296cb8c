// The conformance suite against the Win32 view, under Wine: the real window
// shown and worked as the system hands a user's input to it (a click on a
// button, keys to the control with the focus), each message handled by the
// program's own loop; the ink read off the screen, the announcements as an
// MSAA client hears them, the error box read and closed by its button.
#include "WindowConformance.h"

#include "Form1.h"
#include "OwnedHandles.h"
#include "WideText.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <oleacc.h>
#include <ranges>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace {

constexpr int kSchemeText = COLOR_WINDOWTEXT;
constexpr int kButtonColours[] = {COLOR_BTNTEXT, COLOR_BTNFACE};
constexpr UINT_PTR kBoxWatch = 1;
// Where a window keeps the driver that hears its announcements.
constexpr wchar_t kDriverProperty[] = L"Win32Driver";

COLORREF colour(form::Rgb rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

form::Rgb rgb(COLORREF colour)
{
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

class Win32Driver final : public conformance::WindowDriver
{
public:
    Win32Driver()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // A window of its own for the timer that watches for error boxes: it
        // fires in any loop of the thread, the boxes' own included.
        watcher_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr));
        SetWindowLongPtrW(watcher_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(watcher_.get(), kBoxWatch, 20, watchBoxes);
    }
    ~Win32Driver() override
    {
        hook_.reset();
        if (form_ && IsWindow(form_->window()))
            RemovePropW(form_->window(), kDriverProperty);
        form_.reset();
        watcher_.reset(); // and its timer with it
        // Nothing of this window's reaches the next test's loop.
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        if (GetSysColor(kSchemeText) != schemeBefore_)
            SetSysColors(1, &kSchemeText, &schemeBefore_);
        if (GetSysColor(COLOR_BTNTEXT) != buttonsBefore_[0] ||
            GetSysColor(COLOR_BTNFACE) != buttonsBefore_[1])
            SetSysColors(2, kButtonColours, buttonsBefore_);
        CoUninitialize();
    }
    Win32Driver(const Win32Driver &) = delete;
    Win32Driver &operator=(const Win32Driver &) = delete;

    void open(calc::Calculation calculation, form::DecimalSeparators separators) override
    {
        setScheme(RGB(0, 0, 0));
        form_ = std::make_unique<Form1>(GetModuleHandleW(nullptr), std::move(calculation),
                                        [separators] { return separators; });
        const HWND window = form_->window();
        SetPropW(window, kDriverProperty, this);
        hook_.reset(SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                    heard, GetCurrentProcessId(), GetCurrentThreadId(),
                                    WINEVENT_OUTOFCONTEXT));
        // Shown only where the screen is read (ink): under Wine without a
        // window manager, every top-level window that is hidden again waits
        // two seconds for a manager's word that never comes. Hidden, it is
        // still the active window, with the focus in it.
        settle();
        if (GetActiveWindow() != window)
            ADD_FAILURE() << "the window is not the active one";
    }
    void click(form::Role role) override
    {
        post(form_->control(role), BM_CLICK, 0, 0);
        settle();
    }
    void press(conformance::Press key) override
    {
        using Kind = conformance::Press::Kind;
        const HWND target = GetFocus() ? GetFocus() : form_->window();
        switch (key.kind) {
        case Kind::Tab:
            pressKey(target, VK_TAB);
            break;
        case Kind::Backtab:
            pressKey(target, VK_TAB, VK_SHIFT);
            break;
        case Kind::Enter:
            pressKey(target, VK_RETURN);
            break;
        case Kind::Space:
            pressKey(target, VK_SPACE);
            break;
        case Kind::Escape:
            pressKey(target, VK_ESCAPE);
            break;
        case Kind::Letter:
            // The character alone, as the keyboard layout makes it of the key.
            post(target, WM_CHAR, key.letter, 1);
            settle();
            break;
        case Kind::Alt:
            // The character the keyboard layout makes of the key with Alt
            // held (bit 29: Alt is down); the layout's own part is the system's.
            post(target, WM_SYSCHAR, key.letter, LPARAM{1} | LPARAM{KF_ALTDOWN} << 16);
            settle();
            break;
        }
    }
    void changeScheme(form::Rgb text) override
    {
        setScheme(colour(text));
        settle();
    }
    // The system is told, as the user's settings would.
    void changeButtonColours(form::Rgb text, form::Rgb face) override
    {
        const COLORREF colours[] = {colour(text), colour(face)};
        SetSysColors(2, kButtonColours, colours);
        settle();
    }
    void failElsewhere(std::exception_ptr error) override
    {
        form_->reportError(error);
        settle();
    }

    std::u16string answer() override
    {
        readAnswer();
        return answer_;
    }
    form::Role focus() override
    {
        const HWND focus = GetFocus();
        for (const form::ControlSpec *row : form::tabOrder()) {
            if (focus && form_->control(row->name) == focus)
                return row->role;
        }
        return form::Role::None;
    }
    form::Rgb ink(const char *label) override;
    HWND shownWindow();
    std::vector<conformance::Placed> placed() override;
    form::Rgb background(const char *name) override;
    conformance::DrawnCaption caption(const char *name) override;
    std::vector<std::u16string> announcements() override { return heard_; }
    std::vector<std::u16string> errorBoxes() override { return boxes_; }
    std::optional<int> status() override { return status_; }
    std::vector<conformance::Accessible> accessibleTree() override;

    // `action` runs once, in the loop of the first error box, before the box
    // is closed.
    void whileTheBoxIsOpen(std::function<void()> action) { whileBoxOpen_ = std::move(action); }
    Form1 &form() { return *form_; }

private:
    static void post(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (target)
            PostMessageW(target, message, wParam, lParam);
    }

    // Down and up, with `held` (a modifier) down meanwhile.
    void pressKey(HWND target, WPARAM key, int held = 0)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE before = keys[held];
        if (held)
            keys[held] = 0x80;
        SetKeyboardState(keys);
        post(target, WM_KEYDOWN, key, 1);
        post(target, WM_KEYUP, key, LPARAM{1} | LPARAM{KF_REPEAT | KF_UP} << 16);
        settle();
        keys[held] = before;
        SetKeyboardState(keys);
    }

    void setScheme(COLORREF text) { SetSysColors(1, &kSchemeText, &text); }

    // Handles whatever the action queued, as the program's loop would, until
    // nothing is left: every effect of a posted input is synchronous from
    // there on (a box's own loop included). The end of the program is the
    // loop's quit message. A window that keeps queueing fails the test.
    void settle()
    {
        MSG message{};
        for (int left = 10'000; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); --left) {
            if (left == 0) {
                ADD_FAILURE() << "the window never settles";
                return;
            }
            if (message.message == WM_QUIT) {
                if (!status_)
                    status_ = static_cast<int>(message.wParam);
                continue;
            }
            form_->dispatch(message);
        }
        readAnswer();
    }

    // The answer as the label showed it last: an ended window's is gone.
    void readAnswer()
    {
        if (const HWND label = form_ ? form_->control(form::Role::Answer) : nullptr;
            label && IsWindow(label))
            answer_ = windowText(label);
    }

    static void CALLBACK heard(HWINEVENTHOOK, DWORD, HWND control, LONG object, LONG child, DWORD,
                               DWORD)
    {
        auto *self =
            static_cast<Win32Driver *>(GetPropW(GetAncestor(control, GA_ROOT), kDriverProperty));
        if (!self || object != OBJID_CLIENT || control != self->form_->control(form::Role::Answer))
            return;
        IAccessible *accessible = nullptr;
        VARIANT id{};
        if (FAILED(AccessibleObjectFromEvent(control, object, child, &accessible, &id)))
            return;
        BSTR name = nullptr;
        if (accessible->get_accName(id, &name) == S_OK) {
            self->heard_.emplace_back(reinterpret_cast<const char16_t *>(name), SysStringLen(name));
            SysFreeString(name);
        }
        VariantClear(&id);
        accessible->Release();
    }

    // Each error box of the thread's, read once, then closed by its button.
    static void CALLBACK watchBoxes(HWND watcher, UINT, UINT_PTR, DWORD)
    {
        auto *self = reinterpret_cast<Win32Driver *>(GetWindowLongPtrW(watcher, GWLP_USERDATA));
        EnumThreadWindows(GetCurrentThreadId(), readBox, reinterpret_cast<LPARAM>(self));
    }
    static BOOL CALLBACK readBox(HWND window, LPARAM driver)
    {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wstring_view(className) != L"#32770" || !IsWindowVisible(window))
            return TRUE;
        auto *self = reinterpret_cast<Win32Driver *>(driver);
        if (std::ranges::find(self->boxesSeen_, window) == self->boxesSeen_.end()) {
            self->boxesSeen_.push_back(window);
            self->boxes_.push_back(windowText(GetDlgItem(window, 0xFFFF))); // the message
        }
        if (const std::function<void()> action = std::exchange(self->whileBoxOpen_, {})) {
            action();
            return TRUE; // closed on the next round
        }
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    const COLORREF schemeBefore_ = GetSysColor(kSchemeText);
    const COLORREF buttonsBefore_[2] = {GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)};
    UniqueWindow watcher_;
    std::unique_ptr<std::remove_pointer_t<HWINEVENTHOOK>, decltype(&UnhookWinEvent)> hook_{
        nullptr, UnhookWinEvent};
    std::unique_ptr<Form1> form_;
    std::u16string answer_;
    std::vector<std::u16string> heard_;
    std::function<void()> whileBoxOpen_;
    std::vector<HWND> boxesSeen_;
    std::vector<std::u16string> boxes_;
    std::optional<int> status_;
};

// A label's lines where the window last drew them; a button's caption is
// the system's to place, so only its text and underlined letter are read.
conformance::DrawnCaption Win32Driver::caption(const char *name)
{
    const HWND control = form_->control(name);
    conformance::DrawnCaption drawn;
    const LabelLayout *label = form_->label(name);
    const form::ShownCaption shown =
        form::ShownCaption::fromCaption(label ? label->caption() : windowText(control));
    if (!label) {
        drawn.lines.push_back({shown.text});
        if (shown.underlined)
            drawn.underline = {shown.text[*shown.underlined]};
        return drawn;
    }
    POINT at{};
    MapWindowPoints(control, form_->window(), &at, 1);
    for (std::size_t i = 0; i < label->lines().size(); ++i) {
        const form::CaptionLine &line = label->lines()[i];
        const RECT box = label->lineBox(i);
        drawn.lines.push_back({shown.text.substr(line.start, line.inkLength),
                               double(at.x + box.left), double(at.x + box.right),
                               double(at.y + box.top)});
    }
    if (const std::optional<form::Underline> &key = label->laid().underline) {
        const form::CaptionLine &line = label->lines()[key->line];
        drawn.underline = {shown.text[key->index],
                           {},
                           {},
                           double(at.x + label->x(line, key->index)),
                           double(at.x + label->x(line, key->index + 1))};
        // The underline itself, read off the screen under the key's line.
        RECT box = label->lineBox(key->line);
        OffsetRect(&box, at.x, at.y);
        RECT client{};
        GetClientRect(control, &client);
        const HWND window = shownWindow();
        const ScreenDc dc(window);
        const form::Rgb ink = rgb(form_->ink(name));
        const form::Rgb band =
            form::findControl(name)->background.value_or(rgb(GetSysColor(COLOR_3DFACE)));
        const auto inked = [&](int x, int y) {
            const COLORREF seen = GetPixel(dc.get(), x, y);
            return seen != CLR_INVALID && conformance::isInk(rgb(seen), ink, band);
        };
        if (const auto run = conformance::underlineInPixels(
                inked, box.left, box.top, box.right,
                std::min<LONG>(box.bottom + 2, at.y + client.bottom))) {
            drawn.underline->left = run->left;
            drawn.underline->right = run->right;
        }
    }
    return drawn;
}

// The window, shown where it was hidden: only what is on the screen can be
// read from it.
HWND Win32Driver::shownWindow()
{
    const HWND window = form_->window();
    if (!IsWindowVisible(window)) {
        ShowWindow(window, SW_SHOWNORMAL);
        settle();
    }
    return window;
}

// The colour the control is drawn in on the screen: the commonest one in its
// box other than its band's, the controls in front of it left out; a line's
// box is the line.
form::Rgb Win32Driver::ink(const char *label)
{
    const HWND window = shownWindow();
    const auto boxOf = [](const form::ControlSpec &row) {
        const form::PixelRect box = form::pixelBox(row);
        return RECT{box.left, box.top, box.left + box.width, box.top + box.height};
    };
    const form::ControlSpec &row = *form::findControl(label);
    std::vector<RECT> inFront;
    for (const form::ControlSpec &other : form::controlSpecs()) {
        if (other.order < row.order)
            inFront.push_back(boxOf(other));
    }
    // Wine draws its own buttons in its theme's colours, not the system's:
    // a button's ink is the one the window keeps for it.
    if (row.kind == form::ControlKind::Button) {
        const COLORREF ink = form_->ink(label);
        return rgb(ink);
    }
    const RECT box = boxOf(row);
    const ScreenDc dc(window);
    std::map<COLORREF, int> counts;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            if (std::ranges::none_of(inFront, [&](const RECT &r) { return PtInRect(&r, {x, y}); }))
                ++counts[GetPixel(dc.get(), x, y)];
        }
    }
    if (row.background)
        counts.erase(colour(*row.background));
    if (counts.empty()) {
        ADD_FAILURE() << label << " shows no text";
        return {};
    }
    const COLORREF ink =
        std::ranges::max_element(counts, {}, &std::pair<const COLORREF, int>::second)->first;
    return rgb(ink);
}

// Through the Win32 API: the first child window is the front one.
std::vector<conformance::Placed> Win32Driver::placed()
{
    RECT client{};
    GetClientRect(form_->window(), &client);
    std::vector<conformance::Placed> placed{{"Form1", {0, 0, client.right, client.bottom}}};
    for (HWND child = GetWindow(form_->window(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const auto rows = form::controlSpecs();
        const auto row = std::ranges::find_if(rows, [&](const form::ControlSpec &each) {
            return form_->control(each.name) == child;
        });
        RECT box{};
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, form_->window(), reinterpret_cast<POINT *>(&box), 2);
        placed.push_back({row == rows.end() ? "?" : row->name,
                          {box.left, box.top, box.right - box.left, box.bottom - box.top}});
    }
    return placed;
}

// On the screen.
form::Rgb Win32Driver::background(const char *name)
{
    const HWND window = shownWindow();
    const form::ControlSpec *row = form::findControl(name);
    RECT client{};
    GetClientRect(window, &client);
    const form::PixelRect box =
        row ? form::pixelBox(*row) : form::PixelRect{0, 0, client.right, client.bottom};
    const ScreenDc dc(window);
    const COLORREF seen = GetPixel(dc.get(), box.left + box.width - 3, box.top + box.height - 3);
    return rgb(seen);
}

// What an MSAA client reads: the window's client object through oleacc,
// then each child it hands out, in order.
std::vector<conformance::Accessible> Win32Driver::accessibleTree()
{
    IAccessible *window = nullptr;
    if (FAILED(AccessibleObjectFromWindow(form_->window(), static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void **>(&window))))
        return {};
    const auto text = [](IAccessible *object, const VARIANT &id,
                         HRESULT (STDMETHODCALLTYPE IAccessible::*ask)(VARIANT, BSTR *)) {
        BSTR value = nullptr;
        std::u16string read;
        if ((object->*ask)(id, &value) == S_OK && value)
            read.assign(reinterpret_cast<const char16_t *>(value), SysStringLen(value));
        SysFreeString(value);
        return read;
    };
    const auto read = [&](IAccessible *object, const VARIANT &id) {
        VARIANT role{};
        object->get_accRole(id, &role);
        std::string word = "MSAA role " + std::to_string(role.vt == VT_I4 ? role.lVal : -1);
        if (role.vt == VT_I4) {
            switch (role.lVal) {
            case ROLE_SYSTEM_DIALOG:
                word = "window";
                break;
            case ROLE_SYSTEM_PUSHBUTTON:
                word = "push button";
                break;
            case ROLE_SYSTEM_STATICTEXT:
                word = "text";
                break;
            case ROLE_SYSTEM_GRAPHIC:
                word = "graphic";
                break;
            case ROLE_SYSTEM_SEPARATOR:
                word = "separator";
                break;
            }
        }
        VariantClear(&role);
        return conformance::Accessible{word, text(object, id, &IAccessible::get_accName),
                                       text(object, id, &IAccessible::get_accDescription),
                                       text(object, id, &IAccessible::get_accValue)};
    };
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    std::vector<conformance::Accessible> tree{read(window, self)};
    LONG count = 0;
    window->get_accChildCount(&count);
    std::vector<VARIANT> children(std::size_t(std::max(count, LONG{0})));
    LONG got = 0;
    AccessibleChildren(window, 0, count, children.data(), &got);
    for (LONG i = 0; i < got; ++i) {
        VARIANT &child = children[std::size_t(i)];
        IAccessible *object = nullptr;
        if (child.vt == VT_DISPATCH &&
            SUCCEEDED(child.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                     reinterpret_cast<void **>(&object)))) {
            tree.push_back(read(object, self));
            object->Release();
        } else if (child.vt == VT_I4) {
            tree.push_back(read(window, child));
        }
        VariantClear(&child);
    }
    window->Release();
    return tree;
}

} // namespace

namespace conformance {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, WindowConformance, Win32Driver);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, KeptFocusConformance, Win32Driver);
// A desktop window is never inside a browser's page.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BrowserFocusConformance);
} // namespace conformance

// The box's own loop still delivers the window's messages: a click, or a
// handler that fails again (a paint that keeps failing), while the box is
// open adds nothing, and runs nothing.
TEST(Win32Window, NothingRunsWhileTheErrorBoxIsOpen)
{
    int sums = 0;
    Win32Driver driver;
    driver.open(
        [&] {
            ++sums;
            return conformance::overflowingSum();
        },
        {u","});
    driver.whileTheBoxIsOpen([&] {
        const HWND calculate = driver.form().control(form::Role::Calculate);
        PostMessageW(driver.form().window(), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(calculate), BN_CLICKED),
                     reinterpret_cast<LPARAM>(calculate));
        PostMessageW(calculate, BM_CLICK, 0, 0);
        driver.form().reportError(std::make_exception_ptr(std::runtime_error("again")));
    });
    driver.click(form::Role::Calculate);
    EXPECT_EQ(sums, 1);
    EXPECT_EQ(driver.errorBoxes().size(), 1U);
    EXPECT_EQ(driver.status(), form::kExitStatusReportedError);
}
