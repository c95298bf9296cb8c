// The window's behaviour against the page's own view, under Node in the
// document PageStandIn.js sets up: the driver works the page as a user
// would, through its elements and DOM events, and reads back what it shows.
#include "WindowConformance.h"

#include "Form1.h"

#include <emscripten/emscripten.h>
#include <gtest/gtest.h>
#include <sstream>

namespace web {
// The page's test-only calls into its windows (Windows.cpp): a failure
// outside the window's handlers, and a window destroyed with the page left
// as it is.
void failWindow(int window, const std::exception_ptr &error) noexcept;
void destroyWindow(int window) noexcept;
} // namespace web

// (JavaScript, which the C++ formatter would break.)
// clang-format off

// The test's side of the page: each call what a user, or the browser for
// them, does.
EM_JS(void, stand_in_reset, (), {
    const standIn = Module.standIn;
    for (const id of ["Form1", "ErrorBox"]) {
        const left = document.getElementById(id);
        if (left) left.remove();
    }
    delete document.documentElement.dataset.exitStatus;
    standIn.framed = false;
    standIn.schemeText = "rgb(0, 0, 0)";
    standIn.buttonText = null;
    standIn.buttonFace = "rgb(240, 240, 240)";
    standIn.measureFails = false;
    standIn.closes = 0;
    standIn.boxes = [];
    standIn.heard = [];
    standIn.timers = [];
    standIn.answer = null;
});

EM_JS(int, stand_in_closes, (), { return Module.standIn.closes; });

// The page's elements cannot be made (`fail`), or can again.
EM_JS(void, stand_in_fail_elements, (int fail), {
    if (fail)
        document.createElement = function() { throw new Error("no element"); };
    else
        delete document.createElement;
});

// Once the window is open: what it shows in the answer, and tells a screen
// reader there.
EM_JS(void, stand_in_watch_answer, (), {
    const standIn = Module.standIn;
    standIn.answer = document.getElementById("Label4");
    standIn.lastText = "";
    standIn.timers = [];
    standIn.readAnswer();
});

// What the user sees of an error box, and their closing it; the page's
// timers, each followed by what a reader is told.
EM_JS(void, stand_in_settle, (), {
    const standIn = Module.standIn;
    const box = document.getElementById("ErrorBox");
    if (box && box.open) {
        standIn.boxes.push(document.getElementById("ErrorBoxMessage").textContent);
        box.close();
    }
    if (!standIn.answer) return;
    standIn.readAnswer();
    for (let run = 0; run < 10 && standIn.timers.length; ++run) {
        standIn.timers.sort(function(a, b) { return a.due - b.due || a.order - b.order; });
        const timer = standIn.timers.shift();
        standIn.now = timer.due;
        timer.callback();
        standIn.readAnswer();
    }
});

EM_JS(void, stand_in_click, (const char *id), {
    const element = document.getElementById(UTF8ToString(id));
    if (element) element.click();
});

// A key pressed where the focus is; what the page leaves to the browser,
// the browser does: Enter and Space press the focused button, Tab moves along
// the page's buttons and past either end out of the page.
EM_JS(void, stand_in_key, (const char *name, int letter, bool shift, bool alt), {
    const key = name ? UTF8ToString(name) : String.fromCharCode(letter);
    const target = document.activeElement || document.body;
    const event = new Module.standIn.window.KeyboardEvent(
        "keydown", {key: key, shiftKey: shift, altKey: alt, bubbles: true, cancelable: true});
    if (!target.dispatchEvent(event)) return;
    if ((key === "Enter" || key === " ") && target.tagName === "BUTTON") target.click();
    if (key !== "Tab") return;
    const buttons = Array.from(document.querySelectorAll("button"));
    const at = buttons.indexOf(target);
    const next = at < 0 ? buttons[shift ? buttons.length - 1 : 0] : buttons[at + (shift ? -1 : 1)];
    if (next)
        next.focus();
    else
        target.blur();
});

// The page inside another's frame, from a site of its own: asking for the
// top-level window fails, as a browser may make it.
EM_JS(void, stand_in_frame, (), { Module.standIn.framed = true; });

EM_JS(void, stand_in_fail_measure, (), { Module.standIn.measureFails = true; });

EM_JS(void, stand_in_scheme, (int red, int green, int blue), {
    const standIn = Module.standIn;
    standIn.schemeText = "rgb(" + red + ", " + green + ", " + blue + ")";
    standIn.scheme.dispatchEvent(new standIn.window.Event("change"));
});

// What the browser's buttons are drawn in, then the change of scheme that
// comes with it.
EM_JS(void, stand_in_buttons, (int text, int face), {
    const standIn = Module.standIn;
    const css = function(rgb) { return "rgb(" + (rgb >> 16) + ", " + ((rgb >> 8) & 255) + ", " + (rgb & 255) + ")"; };
    standIn.buttonText = css(text);
    standIn.buttonFace = css(face);
    standIn.scheme.dispatchEvent(new standIn.window.Event("change"));
});

// Texts into `buffer` as UTF-16, each ended by a line feed; their length.
EM_JS(int, stand_in_read, (int what, char16_t *buffer, int size), {
    const standIn = Module.standIn;
    let lines = [];
    if (what === 0 && standIn.answer)
        lines = [Array.from(standIn.answer.querySelectorAll(".drawn"), function(line) {
            return line.textContent;
        }).join("")];
    else if (what === 1)
        lines = standIn.boxes;
    else if (what === 2)
        lines = standIn.heard;
    else if (what === 3 && document.activeElement)
        lines = [document.activeElement.id];
    else if (what === 4) {
        /* The window, then its controls front to back: "name left top width height". */
        const form = document.getElementById("Form1");
        const number = function(length) { return parseFloat(length) || 0; };
        const controls = Array.from(form.children).filter(function(element) {
            return element.style.zIndex !== "";
        });
        controls.sort(function(a, b) { return number(b.style.zIndex) - number(a.style.zIndex); });
        lines = ["Form1 0 0 " + number(form.style.width) + " " + number(form.style.height)].concat(
            controls.map(function(element) {
                return [element.id, number(element.style.left), number(element.style.top),
                        number(element.style.width), number(element.style.height)].join(" ");
            }));
    }
    const text = lines.map(function(line) { return line + "\n"; }).join("");
    stringToUTF16(text, buffer, 2 * size);
    return Math.min(text.length, size - 1);
});

// The colour a label's or a button's text, or a line, is styled in as
// 0xRRGGBB; -1 where it has none of its own.
EM_JS(int, stand_in_ink, (const char *id), {
    const element = document.getElementById(UTF8ToString(id));
    const style = element.className === "line" ? element.style.backgroundColor : element.style.color;
    const rgb = style.match(/[0-9]+/g);
    return rgb ? (rgb[0] << 16) | (rgb[1] << 8) | rgb[2] : -1;
});

// The colour an element's box is styled in as 0xRRGGBB; -1 where it has none.
EM_JS(int, stand_in_background, (const char *id), {
    const rgb = document.getElementById(UTF8ToString(id)).style.backgroundColor.match(/[0-9]+/g);
    return rgb ? (rgb[0] << 16) | (rgb[1] << 8) | rgb[2] : -1;
});

// The window as a screen reader gets it from the page's roles, ARIA
// attributes and text: the window's landmark, then each element of it a
// reader meets, in order, each a line "role<TAB>name<TAB>description" into
// `buffer` as UTF-16; their length. The role is the element's ARIA role (its
// own, or its tag's); a name its aria-label or its text; a description its
// aria-description or the text of its aria-describedby.
EM_JS(int, stand_in_tree, (char16_t *buffer, int size), {
    const form = document.getElementById("Form1");
    if (!form) return 0;
    const hidden = function(element) { return element.getAttribute("aria-hidden") === "true"; };
    const textOf = function(node) {
        if (node.nodeType === 3) return node.data;
        if (node.nodeType !== 1 || hidden(node)) return "";
        return Array.from(node.childNodes, textOf).join("");
    };
    const roleOf = function(element) {
        return element.getAttribute("role") ||
               ({MAIN: "main", BUTTON: "button", H1: "heading"}[element.tagName] || "generic");
    };
    const described = function(element) {
        if (element.hasAttribute("aria-description")) return element.getAttribute("aria-description");
        const ids = (element.getAttribute("aria-describedby") || "").split(" ").filter(Boolean);
        return ids.map(function(id) { return textOf(document.getElementById(id)); }).join(" ");
    };
    const line = function(element) {
        const name = element.getAttribute("aria-label") || textOf(element);
        return [roleOf(element), name, described(element)].join("\t") + "\n";
    };
    let text = line(form);
    for (const element of form.children) {
        /* Nothing hidden; no live region while it tells nothing; the title,
           which names the window again. */
        if (hidden(element) || roleOf(element) === "heading") continue;
        if (element.hasAttribute("aria-live") && !textOf(element)) continue;
        text += line(element);
    }
    stringToUTF16(text, buffer, 2 * size);
    return Math.min(text.length, size - 1);
});

// The caption of the element `id` as the page draws it, each a line into
// `buffer` as UTF-16; their length: "line<TAB>text<TAB>left<TAB>top" for
// each drawn line (a button's one line has no place of its own: the button
// centres it), where left and top are in the window's CSS pixels, then
// "key<TAB>character" for an underlined one. (The stand-in page is never laid
// out: what a line's right end is, only a browser can tell.)
EM_JS(int, stand_in_caption, (const char *id, char16_t *buffer, int size), {
    const element = document.getElementById(UTF8ToString(id));
    let text = "";
    if (element.tagName === "BUTTON") {
        text += "line\t" + element.querySelector(".caption").textContent + "\n";
    } else {
        for (const line of element.querySelectorAll(".drawn"))
            text += ["line", line.textContent,
                     parseFloat(element.style.left) + parseFloat(line.style.left),
                     parseFloat(element.style.top) + parseFloat(line.style.top)].join("\t") + "\n";
    }
    for (const key of element.querySelectorAll("u"))
        text += "key\t" + key.textContent + "\n";
    stringToUTF16(text, buffer, 2 * size);
    return Math.min(text.length, size - 1);
});

EM_JS(int, stand_in_status, (), {
    const status = document.documentElement.dataset.exitStatus;
    return status === undefined ? -1 : Number(status);
});

// clang-format on

namespace {

enum class Shown
{
    Answer,
    ErrorBoxes,
    Heard,
    FocusedId,
    Placed,
};

// The pieces of `text` each ended by `end`.
std::vector<std::u16string> split(std::u16string_view text, char16_t end)
{
    std::vector<std::u16string> pieces;
    for (std::size_t from = 0, at; (at = text.find(end, from)) != text.npos; from = at + 1)
        pieces.emplace_back(text.substr(from, at - from));
    return pieces;
}

std::vector<std::u16string> read(Shown what)
{
    std::u16string text(4096, u'\0');
    text.resize(std::size_t(stand_in_read(int(what), text.data(), int(text.size()))));
    std::vector<std::u16string> lines;
    for (std::size_t from = 0, end; (end = text.find(u'\n', from)) != text.npos; from = end + 1)
        lines.push_back(text.substr(from, end - from));
    return lines;
}

class WebDriver final : public conformance::WindowDriver
{
public:
    ~WebDriver() override
    {
        web::destroyWindow(window_);
        stand_in_reset();
    }

    void openInBrowser(bool framed)
    {
        stand_in_reset();
        if (framed)
            stand_in_frame();
        start(calc::sumSeries, {u","});
    }
    void open(calc::Calculation calculation, form::DecimalSeparators separators) override
    {
        stand_in_reset();
        start(std::move(calculation), std::move(separators));
        press({conformance::Press::Kind::Tab});
    }
    void click(form::Role button) override
    {
        stand_in_click(form::controlWithRole(button).name);
        stand_in_settle();
    }
    void press(conformance::Press key) override
    {
        using Kind = conformance::Press::Kind;
        const char *const names[] = {"Tab", "Tab", "Enter", " ", "Escape", nullptr, nullptr};
        stand_in_key(names[int(key.kind)], key.letter, key.kind == Kind::Backtab,
                     key.kind == Kind::Alt);
        stand_in_settle();
    }
    void changeScheme(form::Rgb text) override
    {
        stand_in_scheme(text.red, text.green, text.blue);
        stand_in_settle();
    }
    // Simulated: the stand-in's browser colours for buttons change.
    void changeButtonColours(form::Rgb text, form::Rgb face) override
    {
        const auto rgb = [](form::Rgb c) { return c.red << 16 | c.green << 8 | c.blue; };
        stand_in_buttons(rgb(text), rgb(face));
        stand_in_settle();
    }
    void failElsewhere(std::exception_ptr error) override
    {
        web::failWindow(window_, error);
        stand_in_settle();
    }

    std::u16string answer() override
    {
        const std::vector<std::u16string> shown = read(Shown::Answer);
        return shown.empty() ? u"" : shown.front();
    }
    form::Role focus() override
    {
        const std::vector<std::u16string> id = read(Shown::FocusedId);
        const std::string name = id.empty() ? "" : std::string(id[0].begin(), id[0].end());
        const form::ControlSpec *row = form::findControl(name);
        return row ? row->role : form::Role::None;
    }
    form::Rgb ink(const char *name) override
    {
        const int rgb = stand_in_ink(name);
        if (rgb < 0)
            ADD_FAILURE() << name << " has no colour of its own";
        return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)};
    }
    // As the page styles them: jsdom lays nothing out.
    std::vector<conformance::Placed> placed() override
    {
        std::vector<conformance::Placed> placed;
        for (const std::u16string &line : read(Shown::Placed)) {
            std::istringstream fields(std::string(line.begin(), line.end()));
            conformance::Placed each;
            fields >> each.name >> each.box.left >> each.box.top >> each.box.width >>
                each.box.height;
            placed.push_back(each);
        }
        return placed;
    }
    form::Rgb background(const char *name) override
    {
        const int rgb = stand_in_background(name);
        if (rgb < 0)
            ADD_FAILURE() << name << " has no background of its own";
        return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)};
    }
    conformance::DrawnCaption caption(const char *name) override
    {
        std::u16string text(4096, u'\0');
        text.resize(std::size_t(stand_in_caption(name, text.data(), int(text.size()))));
        conformance::DrawnCaption drawn;
        const auto number = [](std::u16string_view digits) {
            return std::stod(std::string(digits.begin(), digits.end()));
        };
        for (const std::u16string &line : split(text, u'\n')) {
            const std::vector<std::u16string> fields = split(line + u'\t', u'\t');
            if (fields.at(0) == u"key")
                drawn.underline = {fields.at(1).empty() ? u'\0' : fields.at(1).front()};
            else if (fields.size() == 2)
                drawn.lines.push_back({fields.at(1)});
            else
                drawn.lines.push_back(
                    {fields.at(1), number(fields.at(2)), std::nullopt, number(fields.at(3))});
        }
        return drawn;
    }
    std::vector<std::u16string> announcements() override { return read(Shown::Heard); }
    // The stand-in's canvas measures every character 6 pixels wide.
    bool measuresItsFaces() const override { return false; }
    std::vector<std::u16string> errorBoxes() override { return read(Shown::ErrorBoxes); }
    std::optional<int> status() override
    {
        const int status = stand_in_status();
        return status < 0 ? std::nullopt : std::optional(status);
    }
    std::vector<conformance::Accessible> accessibleTree() override
    {
        std::u16string text(8192, u'\0');
        text.resize(std::size_t(stand_in_tree(text.data(), int(text.size()))));
        std::vector<conformance::Accessible> tree;
        for (std::size_t from = 0, end; (end = text.find(u'\n', from)) != text.npos;
             from = end + 1) {
            const std::u16string line = text.substr(from, end - from);
            const std::size_t tab = line.find(u'\t');
            const std::size_t second = line.find(u'\t', tab + 1);
            const std::string role(line.begin(), line.begin() + std::ptrdiff_t(tab));
            tree.push_back(
                {wordFor(role), line.substr(tab + 1, second - tab - 1), line.substr(second + 1)});
        }
        return tree;
    }
    // ARIA gives static text no value.
    bool textHasValue() const override { return false; }

private:
    // A reader's word for an ARIA role: a generic element's text is static text.
    static std::string wordFor(const std::string &role)
    {
        if (role == "main")
            return "window";
        if (role == "button")
            return "push button";
        if (role == "generic")
            return "text";
        if (role == "img")
            return "graphic";
        if (role == "separator")
            return "separator";
        return "ARIA role " + role;
    }

    void start(calc::Calculation calculation, form::DecimalSeparators separators)
    {
        window_ = web::openWindow(std::move(calculation), std::move(separators));
        ASSERT_NE(window_, 0);
        stand_in_watch_answer();
        stand_in_settle();
    }

    int window_ = 0;
};

} // namespace

namespace conformance {
INSTANTIATE_TYPED_TEST_SUITE_P(Web, WindowConformance, WebDriver);
INSTANTIATE_TYPED_TEST_SUITE_P(Web, BrowserFocusConformance, WebDriver);
// A page does not keep the focus: Tab leaves it at its ends.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(KeptFocusConformance);
} // namespace conformance

// A script that throws under a call into the page fails as the window's own
// code would: one box, an unexpected error, then status 1.
TEST(PageScript, AFailureUnderACallIntoThePageIsReportedOnce)
{
    WebDriver driver;
    driver.open(calc::sumSeries, {u","});
    stand_in_fail_measure();
    driver.click(form::Role::Calculate);
    driver.click(form::Role::Calculate);
    const std::vector<std::u16string> boxes = driver.errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes.front(),
              form::errorMessage(std::make_exception_ptr(std::runtime_error("script"))));
    EXPECT_EQ(driver.status(), form::kExitStatusReportedError);
}

// A window that cannot be built leaves the one before it as it was, keys and
// all, not a window the page no longer listens to; and never closes its
// page, which a browser may let it do, taking the message with it.
TEST(PageScript, AWindowThatCannotBeBuiltLeavesTheOneBeforeItWorking)
{
    WebDriver driver;
    driver.open(calc::sumSeries, {u","});
    stand_in_fail_elements(1);
    EXPECT_EQ(web::openWindow(calc::sumSeries, form::DecimalSeparators{u","}), 0);
    stand_in_fail_elements(0);
    EXPECT_EQ(driver.status(), form::kExitStatusReportedError);
    EXPECT_EQ(stand_in_closes(), 0);
    driver.press({conformance::Press::Kind::Alt, u'в'});
    EXPECT_EQ(driver.answer(), u"00,01384   17");
}
