#include "Form1.h"

#include "AnswerText.h"
#include "Browser.h"
#include "CaptionLayout.h"
#include "Contrast.h"
#include "EmbeddedArt.h"
#include "ErrorReport.h"
#include "FixedDecimal.h"
#include "FontStandIn.h"
#include "Script.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace web {
namespace {

std::string px(int value)
{
    return std::to_string(value) + "px";
}

// Fractions in the calculation's own fixed notation: printf would bring the C
// library's whole formatter into the module for these few numbers.
std::string px(double value)
{
    return calc::fixedDecimal(value, 4) + "px";
}

std::string cssColour(form::Rgb rgb)
{
    return "rgb(" + std::to_string(rgb.red) + "," + std::to_string(rgb.green) + "," +
           std::to_string(rgb.blue) + ")";
}

// A font of the layout as the page sets it: the CSS font of its stand-in,
// and the factor its glyphs are widened by, which CSS cannot do to a face.
struct PageFont
{
    CssFont face;
    double widening;
};

PageFont pageFont(const form::FontSpec &wanted)
{
    const form::FontStandIn standIn = form::fontStandIn(wanted);
    // The em in whole pixels of the layout's 96 dpi, as a desktop font is
    // asked for: the captions' lines break where they do on the desktop.
    constexpr int dpi = form::kTwipsPerInch / form::kTwipsPerPixel;
    const int pixels = form::emPixels(wanted, dpi);
    std::string css =
        (wanted.italic ? "italic " : "") + std::to_string(standIn.weight) + " " + px(pixels);
    for (std::size_t i = 0; i < standIn.families.size(); ++i)
        css += (i ? ", \"" : " \"") + utf8(standIn.families[i]) + "\"";
    return {{css, utf8(standIn.families.at(0)), standIn.weight, pixels}, standIn.widening};
}

// The transform that draws `text` `width` pixels wide: whatever advances the
// browser draws with, the text fills the room the layout gave it.
std::string widenedTo(const PageFont &font, std::u16string_view text, double width)
{
    const double drawn = drawnWidth(font.face, text);
    const double scale =
        drawn > 0 && std::isfinite(drawn) && std::isfinite(width) ? width / drawn : font.widening;
    return "scaleX(" + calc::fixedDecimal(scale, 6) + ")";
}

const form::FontSpec &fontOf(const form::ControlSpec &row)
{
    return row.font ? *row.font : form::windowSpec().font;
}

void place(DomNode &node, const form::PixelRect &box)
{
    node.setStyle("left", px(box.left));
    node.setStyle("top", px(box.top));
    node.setStyle("width", px(box.width));
    node.setStyle("height", px(box.height));
}

// A caption's text from `from` to `to`, its access key underlined where it
// falls inside.
void appendShown(DomNode &node, const form::ShownCaption &shown, std::size_t from, std::size_t to)
{
    const std::u16string_view text = shown.text;
    if (shown.underlined && *shown.underlined >= from && *shown.underlined < to) {
        const std::size_t key = *shown.underlined;
        node.appendText(text.substr(from, key - from));
        DomNode underline("u", &node);
        underline.appendText(text.substr(key, 1));
        node.appendText(text.substr(key + 1, to - key - 1));
    } else {
        node.appendText(text.substr(from, to - from));
    }
}

const char *tagFor(form::ControlKind kind)
{
    switch (kind) {
    case form::ControlKind::Button:
        return "button";
    case form::ControlKind::Image:
        return "canvas";
    case form::ControlKind::Label:
    case form::ControlKind::Line:
        break;
    }
    return "div";
}

} // namespace

Form1::Form1(calc::Calculation sumSeries)
    : sumSeries_(std::move(sumSeries)), root_("div", nullptr)
{}

void Form1::open()
{
    const form::WindowSpec &window = form::windowSpec();
    root_.setAttribute("id", std::string_view(window.name));
    root_.setAttribute("class", std::string_view("window"));
    root_.setAttribute("role", std::string_view("group"));
    root_.setAttribute("aria-label", window.caption);
    root_.keepFocusWhenPressed();
    const form::PixelRect client = form::pixelsFromTwips(window.clientArea);
    root_.setStyle("width", px(client.width));
    root_.setStyle("height", px(client.height));
    root_.setStyle("background-color", cssColour(window.background));
    root_.setStyle("font", pageFont(window.font).face.css);
    // Built whole before it is shown: the page lays it out once.
    buildControls();
    applyInk();
    root_.show();
    const std::vector<const form::ControlSpec *> tabStops = form::tabOrder();
    if (!tabStops.empty())
        control(tabStops.front()->name).node.focus();
}

void Form1::buildControls()
{
    // The page reads its elements in their order: the readable controls
    // first, as a screen reader should read them, the lines after them.
    const auto rows = form::controlSpecs();
    std::vector<const form::ControlSpec *> pageOrder = form::readingOrder();
    for (const form::ControlSpec &row : rows) {
        if (!row.readingIndex)
            pageOrder.push_back(&row);
    }
    controls_.reserve(pageOrder.size());
    for (const form::ControlSpec *row : pageOrder)
        controls_.push_back({row, DomNode(tagFor(row->kind), &root_), row->caption});

    for (Control &each : controls_) {
        const form::ControlSpec &row = *each.row;
        DomNode &node = each.node;
        node.setAttribute("id", std::string_view(row.name));
        // Rows run front (1) to back.
        node.setStyle("z-index", std::to_string(rows.size() + 1 - std::size_t(row.order)));
        if (const auto *rect = std::get_if<form::TwipsRect>(&row.geometry))
            place(node, form::pixelsFromTwips(*rect));
        else
            place(node, form::pixelsCovering(std::get<form::TwipsLine>(row.geometry)));
        if (row.background)
            node.setStyle("background-color", cssColour(*row.background));
        if (row.foreground)
            node.setStyle("color", cssColour(*row.foreground));
        if (row.font)
            node.setStyle("font", pageFont(*row.font).face.css);
        if (row.kind != form::ControlKind::Label)
            node.setAttribute("aria-label", form::accessibleName(row, row.caption));
        if (const std::u16string description = form::accessibleDescription(row);
            !description.empty())
            node.setAttribute("aria-description", description);
        if (!row.readingIndex)
            node.setAttribute("aria-hidden", std::string_view("true"));
        if (!form::takesFocus(row))
            node.keepFocusWhenPressed();
        const auto index = static_cast<int>(&row - rows.data());
        switch (row.kind) {
        case form::ControlKind::Button:
            node.setAttribute("type", std::string_view("button"));
            node.listen("click", this, index);
            showCaption(each);
            break;
        case form::ControlKind::Label:
            if (row.role == form::Role::Answer) {
                node.setAttribute("aria-live", std::string_view("polite"));
                node.setAttribute("aria-atomic", std::string_view("true"));
            }
            showCaption(each);
            break;
        case form::ControlKind::Image:
            node.setAttribute("role", std::string_view("img"));
            node.putPixels(art::formula.width, art::formula.height, art::formula.argb);
            break;
        case form::ControlKind::Line:
            node.setAttribute("class", std::string_view("line"));
            break;
        }
    }
}

// The caption's lines, broken by the shared rule at the advances the page
// measures, each drawn as wide as those advances make it.
void Form1::showCaption(Control &control)
{
    const form::ControlSpec &row = *control.row;
    const PageFont font = pageFont(fontOf(row));
    const form::ShownCaption shown = form::ShownCaption::fromCaption(control.caption);
    const std::u16string_view text = shown.text;
    const auto advance = [&](std::size_t from, std::size_t to) {
        return measureText(font.face, text.substr(from, to - from)) * font.widening;
    };
    DomNode &node = control.node;
    node.clear();
    if (row.kind == form::ControlKind::Button) {
        DomNode line("span", &node);
        line.setAttribute("class", std::string_view("caption"));
        line.setStyle("transform", widenedTo(font, text, advance(0, text.size())));
        appendShown(line, shown, 0, text.size());
        return;
    }

    // Read as one text, single-spaced; the drawn lines are for the eye only.
    DomNode whole("span", &node);
    whole.setAttribute("class", std::string_view("whole"));
    whole.appendText(form::accessibleName(row, control.caption));

    const int width = form::pixelsFromTwips(std::get<form::TwipsRect>(row.geometry)).width;
    const double height = lineHeight(font.face);
    const std::vector<form::CaptionLine> lines = form::breakLines(text, advance, width);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const form::CaptionLine &line = lines[i];
        const double ink = advance(line.start, line.inkEnd());
        double left = 0;
        if (row.alignment == form::Alignment::Centre)
            left = (width - ink) / 2;
        else if (row.alignment == form::Alignment::Right)
            left = width - ink;
        DomNode drawn("div", &node);
        drawn.setAttribute("class", std::string_view("drawn"));
        drawn.setAttribute("aria-hidden", std::string_view("true"));
        drawn.setStyle("left", px(left));
        drawn.setStyle("top", px(double(i) * height));
        drawn.setStyle("line-height", px(height));
        drawn.setStyle("transform", widenedTo(font, text.substr(line.start, line.inkLength), ink));
        appendShown(drawn, shown, line.start, line.inkEnd());
    }
}

// The bands' colours are fixed and the scheme's text colour is not: a dark
// scheme's light text would vanish on yellow.
void Form1::applyInk()
{
    const form::Rgb scheme = schemeTextColour();
    for (Control &each : controls_) {
        const form::ControlSpec &row = *each.row;
        if (row.kind == form::ControlKind::Label && row.background && !row.foreground)
            each.node.setStyle("color", cssColour(form::legibleInk(scheme, *row.background)));
    }
}

Form1::Control &Form1::control(const char *name)
{
    const auto found = std::find_if(controls_.begin(), controls_.end(), [&](const Control &each) {
        return std::string_view(each.row->name) == name;
    });
    return *found; // every name asked for is one of the table's
}

Form1::Control &Form1::control(form::Role role)
{
    return control(form::controlWithRole(role).name);
}

void Form1::handle(int event)
{
    if (ended_)
        return;
    if (event == kColourSchemeChanged) {
        applyInk();
    } else if (event == kErrorBoxClosed) {
        end(form::kExitStatusReportedError);
    } else if (const auto rows = form::controlSpecs();
               event >= 0 && std::size_t(event) < rows.size() && !errorBox_) {
        click(rows[std::size_t(event)].role);
    }
}

bool Form1::keyDown(char16_t key, bool tab, int modifiers)
{
    if (ended_ || errorBox_ || (modifiers & kControlOrMeta))
        return false;
    if (tab && !(modifiers & kAlt)) {
        moveFocus(modifiers & kShift ? -1 : 1);
        return true;
    }
    if (key && (modifiers & kAlt)) {
        if (const form::ControlSpec *button = form::buttonWithAccessKey(key, lowerCase)) {
            Control &pressed = control(button->name);
            pressed.node.focus();
            pressed.node.click();
            return true;
        }
    }
    return false;
}

// Tab goes round the controls that take the focus, and nowhere else.
void Form1::moveFocus(int step)
{
    const std::vector<const form::ControlSpec *> stops = form::tabOrder();
    if (stops.empty())
        return;
    const auto count = static_cast<int>(stops.size());
    int current = -1;
    for (int i = 0; i < count; ++i) {
        if (control(stops[std::size_t(i)]->name).node.hasFocus())
            current = i;
    }
    const int next = current < 0 ? (step > 0 ? 0 : count - 1) : (current + step + count) % count;
    control(stops[std::size_t(next)]->name).node.focus();
}

void Form1::click(form::Role role)
{
    if (role == form::Role::Calculate)
        Command1_Click();
    else if (role == form::Role::Exit)
        Command2_Click();
}

void Form1::Command1_Click()
{
    const calc::SeriesSum sum = sumSeries_();
    Control &answer = control(form::Role::Answer);
    answer.caption = calc::makeAnswerText(sum.s, sum.k, utf16(decimalSeparator()));
    showCaption(answer);
}

void Form1::Command2_Click()
{
    end(form::kExitStatusOk);
}

void Form1::reportError(const std::exception_ptr &error)
{
    // One box: the user is told once, and the window ends when it closes.
    if (errorBox_)
        return;
    // A box of the page's own, titled as the window, over a window that no
    // longer takes input.
    // Held from the first, so that the window's end takes it away even when
    // building it fails.
    DomNode &box = errorBox_.emplace("dialog", nullptr);
    box.show();
    box.setAttribute("id", std::string_view("ErrorBox"));
    box.setAttribute("role", std::string_view("alertdialog"));
    box.setAttribute("aria-labelledby", std::string_view("ErrorBoxTitle"));
    box.setAttribute("aria-describedby", std::string_view("ErrorBoxMessage"));
    DomNode title("div", &box);
    title.setAttribute("id", std::string_view("ErrorBoxTitle"));
    title.appendText(form::windowSpec().caption);
    DomNode message("p", &box);
    message.setAttribute("id", std::string_view("ErrorBoxMessage"));
    message.appendText(form::errorMessage(error));
    DomNode buttons("form", &box);
    buttons.setAttribute("method", std::string_view("dialog"));
    DomNode ok("button", &buttons);
    ok.appendText(form::kErrorBoxButton);
    box.listen("close", this, kErrorBoxClosed);
    box.showModal();
    ok.focus();
}

void Form1::end(int status) noexcept
{
    if (ended_)
        return;
    ended_ = true;
    try {
        root_.remove();
        if (errorBox_)
            errorBox_->remove();
    } catch (const ScriptError &) {
        // Logged by the page; the end is recorded all the same.
    }
    endPage(this, status);
}

} // namespace web
