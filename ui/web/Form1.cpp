#include "Form1.h"

#include "AccessibleObject.h"
#include "CaptionLayout.h"
#include "ColumnLayout.h"
#include "Contrast.h"
#include "EmbeddedArt.h"
#include "ErrorReport.h"
#include "FixedDecimal.h"
#include "FontStandIn.h"

#include <algorithm>
#include <stdexcept>
#include <cmath>
#include <limits>
#include <optional>
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

// `scale` times its layout size: the size it is drawn at, while the captions
// are measured and broken at the layout's own.
PageFont pageFont(const form::FontSpec &wanted, double scale = 1)
{
    const form::FontStandIn standIn = form::fontStandIn(wanted);
    // The em in whole pixels of the layout's 96 dpi, as a desktop font is
    // asked for: the captions' lines break where they do on the desktop.
    constexpr int dpi = form::kTwipsPerInch / form::kTwipsPerPixel;
    const int pixels = form::emPixels(wanted, dpi);
    const std::string size = (wanted.italic ? "italic " : "") + std::to_string(standIn.weight) +
                             " " + (scale == 1 ? px(pixels) : px(pixels * scale));
    std::u16string css(size.begin(), size.end()); // ASCII
    for (std::size_t i = 0; i < standIn.families.size(); ++i)
        css += (i ? u", \"" : u" \"") + standIn.families[i] + u"\"";
    return {{css, standIn.families.at(0), standIn.weight, pixels}, standIn.widening};
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

// Under a phone's touch, narrower than this in CSS pixels, the window takes
// its one column with text of the phone's usual size at least.
constexpr double kPhoneWidth = 600;
constexpr double kPhoneTextPixels = 16;

// `box` drawn `scale` times its size, as at a higher screen scale: the
// browser keeps its edges sharp.
void place(Element &node, const form::PixelRect &box, double scale)
{
    if (scale == 1) {
        node.setStyle("left", px(box.left));
        node.setStyle("top", px(box.top));
        node.setStyle("width", px(box.width));
        node.setStyle("height", px(box.height));
        return;
    }
    node.setStyle("left", px(box.left * scale));
    node.setStyle("top", px(box.top * scale));
    node.setStyle("width", px(box.width * scale));
    node.setStyle("height", px(box.height * scale));
}

// The ink of a laid-out line, its access key underlined where it has it:
// the underline is the browser's own, under the character the layout names.
void appendLine(Element &node, std::u16string_view text, const form::LaidCaption &laid,
                std::size_t line)
{
    const std::size_t from = laid.lines[line].range.start;
    const std::size_t to = laid.lines[line].range.inkEnd();
    if (laid.underline && laid.underline->line == line) {
        const std::size_t key = laid.underline->index;
        node.appendText(text.substr(from, key - from));
        Element underline("u", &node);
        underline.appendText(text.substr(key, 1));
        node.appendText(text.substr(key + 1, to - key - 1));
    } else {
        node.appendText(text.substr(from, to - from));
    }
}

// The class of a label's one text for readers: the whole caption, single
// spaced, where its drawn lines are hidden from them.
constexpr const char *kReadText = "whole";

// What stands for each of the window's roles in the page: the element, its
// ARIA role where the element's own is not it, and whether its text names
// it. ARIA gives static text no value: the answer's value is read as its
// text, which is its name. This table is all the view decides.
struct PageRole
{
    const char *tag;
    const char *role = nullptr;
    bool namedByText = false;
};

constexpr PageRole pageRole(form::AccessibleRole role) noexcept
{
    switch (role) {
    case form::AccessibleRole::Window:
        return {"main"};
    case form::AccessibleRole::PushButton:
        return {"button"};
    case form::AccessibleRole::StaticText:
        return {"div", nullptr, true};
    case form::AccessibleRole::Graphic:
        return {"canvas", "img"};
    case form::AccessibleRole::Separator:
        break;
    }
    return {"div"};
}

// A page is read in order, in its browse mode: each instruction is heard
// just before its button.
constexpr form::Reading kReading = form::Reading::InOrder;

// The window's key for a page's key: its character (0 for none) and whether
// it is Tab. None where it is no key of the window's.
std::optional<form::KeyPress> keyPress(char16_t key, bool tab, bool shift, bool alt)
{
    if (tab)
        return form::KeyPress{shift ? form::Key::Backtab : form::Key::Tab, 0, alt};
    switch (key) {
    case 0:
        return std::nullopt;
    case u'\r':
        return form::KeyPress{form::Key::Enter, 0, alt};
    case u' ':
        return form::KeyPress{form::Key::Space, 0, alt};
    case u'\x1b':
        return form::KeyPress{form::Key::Escape, 0, alt};
    default:
        return form::KeyPress{form::Key::Letter, key, alt};
    }
}

} // namespace

Form1::Form1(int handle, calc::Calculation calculation,
             std::optional<form::DecimalSeparators> separators)
    : handle_(handle), separators_(std::move(separators)), model_(*this, std::move(calculation)),
      root_(pageRole(form::accessibleWindow().role).tag, nullptr), announcer_("div", &root_)
{}

void Form1::open()
{
    const form::WindowSpec &window = form::windowSpec();
    root_.setAttribute("id", window.name);
    // The window is the page's content, its main landmark.
    root_.setAttribute("class", "window");
    root_.setAttribute("aria-label", form::accessibleWindow().name);
    root_.setStyle("background-color", cssColour(window.background));
    // Headed by its title, for a reader that moves by headings; drawn
    // nowhere, as the window shows its title only in its frame.
    Element title("h1", &root_);
    title.setAttribute("class", kReadText);
    title.appendText(window.caption);
    // Built whole before it is shown: the page lays it out once.
    buildControls();
    // What the window tells a screen reader, wherever its focus: empty but
    // while it tells, so that a reader reading the page meets nothing twice.
    // A live region of its own: the answer's label, live, would be told as
    // the window is built, and not at all where its text does not change.
    announcer_.setAttribute("class", kReadText);
    announcer_.setAttribute("aria-live", "polite");
    arrangement_ = wantedArrangement();
    arrange();
    root_.show();
    model_.start(schemeColours());
    watchSize(handle_, Event::Resized);
    listenToPage(handle_, root_);
}

Form1::Arrangement Form1::wantedArrangement() const
{
    const double viewport = viewportWidth();
    const bool phone = coarsePointer() && viewport < kPhoneWidth;
    const double scale =
        form::textScale(std::max(minimumFontPixels(), phone ? kPhoneTextPixels : 0.0));
    const int width = form::pixelsFromTwips(form::windowSpec().clientArea).width;
    // A page not laid out (a hidden frame) has no width yet: it is told when
    // it has one.
    if (!(viewport > 0) || (!phone && viewport >= width * scale))
        return {scale, 0};
    return {scale, std::clamp(int(std::floor(viewport / scale)), 1, width)};
}

void Form1::arrange()
{
    const double scale = arrangement_.scale;
    const form::WindowSpec &window = form::windowSpec();
    form::PixelRect whole = form::pixelsFromTwips(window.clientArea);
    std::optional<form::ColumnLayout> column;
    if (arrangement_.column) {
        column =
            form::columnLayout(arrangement_.column, [&](const form::ControlSpec &row, int width) {
                return labelHeight(row, control(row).caption, width);
            });
        whole = {0, 0, column->width, column->height};
    }
    root_.setStyle("width", px(whole.width * scale));
    root_.setStyle("height", px(whole.height * scale));
    root_.setStyle("font", pageFont(window.font, scale).face.css);
    for (Control &each : controls_) {
        const form::ControlSpec &row = *each.row;
        each.box = column ? column->box(row) : form::pixelBox(row);
        place(each.element, each.box, scale);
        if (row.font)
            each.element.setStyle("font", pageFont(*row.font, scale).face.css);
        if (row.kind == form::ControlKind::Button || row.kind == form::ControlKind::Label)
            draw(each);
    }
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
        controls_.push_back({row, Element(pageRole(form::accessibleRole(row->kind)).tag, &root_)});

    for (Control &each : controls_) {
        const form::ControlSpec &row = *each.row;
        Element &node = each.element;
        node.setAttribute("id", row.name);
        each.caption = row.caption;
        // Rows run front (1) to back.
        node.setStyle("z-index", std::to_string(rows.size() + 1 - std::size_t(row.order)));
        if (row.background)
            node.setStyle("background-color", cssColour(*row.background));
        if (row.foreground)
            node.setStyle("color", cssColour(*row.foreground));
        const form::AccessibleObject object = form::accessibleObject(row, row.caption, kReading);
        const PageRole page = pageRole(object.role);
        if (page.role)
            node.setAttribute("role", page.role);
        if (!page.namedByText)
            node.setAttribute("aria-label", object.name);
        // A label that describes is pointed at; any other description given.
        if (object.describedBy)
            node.setAttribute("aria-describedby", object.describedBy->name);
        else if (!object.description.empty())
            node.setAttribute("aria-description", object.description);
        if (object.controls)
            node.setAttribute("aria-controls", object.controls->name);
        if (!row.readingIndex)
            node.setAttribute("aria-hidden", "true");
        switch (row.kind) {
        case form::ControlKind::Button:
            node.setAttribute("type", "button");
            node.listen(Event::Click, handle_);
            break;
        case form::ControlKind::Label:
            if (form::isSelectableText(row))
                node.setAttribute("class", "selectable");
            break;
        case form::ControlKind::Image:
            node.putPixels(art::formula.width, art::formula.height, art::formula.argb);
            break;
        case form::ControlKind::Line:
            node.setAttribute("class", "line");
            break;
        }
    }
}

Form1::Control &Form1::control(const form::ControlSpec &row)
{
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [&](const Control &each) { return each.row == &row; });
    // Every row of the table has its element; a row from elsewhere is a
    // fault, reported as the window reports any other.
    if (found == controls_.end())
        throw std::out_of_range("no element for this row");
    return *found;
}

void Form1::handle(Event event, int node)
{
    switch (event) {
    case Event::Click:
        for (const Control &each : controls_) {
            if (each.element.handle() == node)
                model_.click(each.row->role);
        }
        break;
    case Event::SchemeChanged:
        model_.schemeChanged(schemeColours());
        break;
    case Event::ErrorBoxClosed:
        model_.errorBoxClosed();
        break;
    case Event::Resized:
        if (const Arrangement wanted = wantedArrangement(); wanted != arrangement_) {
            arrangement_ = wanted;
            arrange();
        }
        break;
    case Event::Key:
        break;
    }
}

bool Form1::keyDown(char16_t key, bool tab, bool shift, bool alt, bool controlOrMeta)
{
    // With Control or Meta, a key is the browser's own shortcut.
    if (controlOrMeta)
        return false;
    // The access keys are the page's own, with Alt (and Firefox's Alt+Shift):
    // a browser's own access key would move the focus as it pressed, and a
    // reader would hear the move before the answer. Enter and Space on a
    // button are the model's too, which spares the browser's click.
    const std::optional<form::KeyPress> press = keyPress(key, tab, shift, alt);
    return press && model_.pressKey(*press);
}

void Form1::fail(const std::exception_ptr &error) noexcept
{
    try {
        model_.reportError(error);
    } catch (...) {
        close(form::kExitStatusReportedError);
    }
}

// Laid out at the layout's own size; the browser draws its underline, at the
// foot of its line.
form::LaidCaption Form1::layOut(const form::ControlSpec &row, const form::ShownCaption &shown,
                                double width) const
{
    const PageFont font = pageFont(form::fontOf(row));
    const std::u16string_view text = shown.text;
    const double height = lineHeight(font.face);
    return form::layCaption(shown, row.alignment, width,
                            {[&](std::size_t from, std::size_t to) {
                                 return measureText(font.face, text.substr(from, to - from)) *
                                        font.widening;
                             },
                             height, height});
}

int Form1::labelHeight(const form::ControlSpec &row, std::u16string_view caption, int width) const
{
    const form::LaidCaption laid = layOut(row, form::ShownCaption::fromCaption(caption), width);
    return int(std::ceil(double(laid.lines.size()) * lineHeight(pageFont(form::fontOf(row)).face)));
}

// The model's caption, kept: the window draws it again when it reflows.
void Form1::showCaption(const form::ControlSpec &row, std::u16string_view caption)
{
    Control &each = control(row);
    each.caption = caption;
    // In the column a label is as tall as its lines, which a new caption
    // may add to.
    if (arrangement_.column && row.kind == form::ControlKind::Label &&
        labelHeight(row, caption, each.box.width) > each.box.height)
        arrange();
    else
        draw(each);
}

// The caption's lines as laid out at the layout's size, each drawn at the
// window's scale as wide as the layout made it.
void Form1::draw(Control &each)
{
    const form::ControlSpec &row = *each.row;
    const double scale = arrangement_.scale;
    const PageFont drawnFont = pageFont(form::fontOf(row), scale);
    const form::ShownCaption shown = form::ShownCaption::fromCaption(each.caption);
    const std::u16string_view text = shown.text;
    const bool button = row.kind == form::ControlKind::Button;
    // A button's caption is one line, never broken, which the button centres.
    const form::LaidCaption laid =
        layOut(row, shown, button ? std::numeric_limits<double>::infinity() : each.box.width);
    Element &node = each.element;
    node.clear();
    if (button) {
        Element line("span", &node);
        line.setAttribute("class", "caption");
        for (std::size_t i = 0; i < laid.lines.size(); ++i) {
            line.setStyle("transform", widenedTo(drawnFont, text, laid.lines[i].width * scale));
            appendLine(line, text, laid, i);
        }
        return;
    }

    // Read as one text, single-spaced; the drawn lines are for the eye only.
    Element whole("span", &node);
    whole.setAttribute("class", kReadText);
    whole.appendText(form::accessibleObject(row, each.caption, kReading).name);

    for (std::size_t i = 0; i < laid.lines.size(); ++i) {
        const form::PlacedLine &line = laid.lines[i];
        Element drawn("div", &node);
        drawn.setAttribute("class", "drawn");
        drawn.setAttribute("aria-hidden", "true");
        drawn.setStyle("left", px(line.x * scale));
        drawn.setStyle("top", px(line.y * scale));
        drawn.setStyle("line-height", px(line.height * scale));
        drawn.setStyle("transform",
                       widenedTo(drawnFont, text.substr(line.range.start, line.range.inkLength),
                                 line.width * scale));
        appendLine(drawn, text, laid, i);
    }
}

// The buttons' colours are the browser's for buttons, which in one engine's
// dark scheme put white text on light grey: read off a button with no ink
// of the window's, for the model to decide on.
form::SchemeColours Form1::schemeColours()
{
    form::SchemeColours scheme{schemeTextColour(), schemeTextColour()};
    for (Control &each : controls_) {
        if (each.row->kind != form::ControlKind::Button)
            continue;
        each.element.setStyle("color", u"");
        if (const std::optional<form::Rgb> text = each.element.colour(false))
            scheme.buttonText = *text;
        scheme.buttonFace = each.element.colour(true);
    }
    return scheme;
}

void Form1::setInk(const form::ControlSpec &row, form::Rgb ink)
{
    // A line is a box filled with its ink.
    control(row).element.setStyle(
        row.kind == form::ControlKind::Line ? "background-color" : "color", cssColour(ink));
}

void Form1::setFocus(form::Role role, form::FocusReason reason)
{
    // Taken as the window opens, the focus scrolls nothing: a narrow page
    // would open beside the task's start. A key's move shows the button.
    control(form::controlWithRole(role)).element.focus(reason != form::FocusReason::Start);
}

form::Role Form1::focused() const
{
    const int focused = Element::focusedHandle();
    for (const Control &each : controls_) {
        if (focused && each.element.handle() == focused)
            return each.row->role;
    }
    return form::Role::None;
}

void Form1::announce(std::u16string_view text)
{
    announcer_.announce(text);
}

void Form1::showErrorBox(std::u16string_view message)
{
    try {
        // A box of the page's own, titled as the window, over a window that
        // no longer takes input. Held from the first, so that the window's
        // end takes it away even when building it fails.
        Element &box = errorBox_.emplace("dialog", nullptr);
        box.show();
        box.setAttribute("id", "ErrorBox");
        box.setAttribute("role", "alertdialog");
        box.setAttribute("aria-labelledby", "ErrorBoxTitle");
        box.setAttribute("aria-describedby", "ErrorBoxMessage");
        Element title("div", &box);
        title.setAttribute("id", "ErrorBoxTitle");
        title.appendText(form::windowSpec().caption);
        Element text("p", &box);
        text.setAttribute("id", "ErrorBoxMessage");
        text.appendText(message);
        Element buttons("form", &box);
        buttons.setAttribute("method", "dialog");
        Element ok("button", &buttons);
        ok.appendText(form::kErrorBoxButton);
        box.listen(Event::ErrorBoxClosed, handle_);
        box.showModal();
        ok.focus();
    } catch (...) {
        // No box to close: the window ends as it would once the box closed.
        model_.errorBoxClosed();
    }
}

void Form1::close(int status)
{
    if (std::exchange(closed_, true))
        return;
    try {
        root_.remove();
        if (errorBox_)
            errorBox_->remove();
    } catch (const ScriptError &) {
        // Logged by the page; the end is recorded all the same.
    }
    endPage(handle_, status);
}

// In a browser the focus is the reader's: none taken at start, and Tab
// leaves the window at its ends, to the page around it or the browser's own
// controls.
form::Surroundings Form1::surroundings() const
{
    return {false};
}

form::DecimalSeparators Form1::decimalSeparators() const
{
    return separators_ ? *separators_ : form::DecimalSeparators{decimalSeparator()};
}

} // namespace web
