#pragma once

// The window's description as data, shared by every front end: positions in
// twips, colours as RGB, fonts by face and points, captions with their "&"
// access-key markers. Nothing here knows a toolkit.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace form {

// Positions and sizes are in twips, 1/1440 inch: 15 twips to the pixel at 96 dpi.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPixel = 15;

// Pixels from twips at `dpi` dots per inch, rounded down as the layout's
// 96-dpi pixel values are.
constexpr int pixelsFromTwips(int twips, int dpi = 96) noexcept
{
    return twips * dpi / kTwipsPerInch;
}

struct Rgb
{
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend constexpr bool operator==(Rgb, Rgb) = default;
};

enum class ControlKind
{
    Button,
    Label,
    Image,
    Line,
};

enum class Alignment
{
    Left,
    Centre,
    Right,
};

// Where a line of `ink` width starts inside a box `box` wide, in the same
// units (whole ones round as integer division does).
template <typename Length>
constexpr Length lineOffset(Alignment alignment, Length box, Length ink) noexcept
{
    switch (alignment) {
    case Alignment::Left:
        break;
    case Alignment::Centre:
        return (box - ink) / 2;
    case Alignment::Right:
        return box - ink;
    }
    return Length{};
}

// What the program does with a control. The handlers find the controls
// they act on by these, never by name.
enum class Role
{
    None,
    Calculate, // runs the calculation when clicked
    Exit,      // ends the program when clicked
    Answer,    // shows the answer
};

struct TwipsRect
{
    int left;
    int top;
    int width;
    int height;
};

struct PixelRect
{
    int left;
    int top;
    int width;
    int height;

    friend constexpr bool operator==(const PixelRect &, const PixelRect &) = default;
};

// A rectangle in pixels at `dpi`: each of its four numbers by the one rounding
// rule above, so that a size never depends on where the box stands (the
// window's right and bottom edge lines stay on its last column and row).
constexpr PixelRect pixelsFromTwips(const TwipsRect &twips, int dpi = 96) noexcept
{
    return {pixelsFromTwips(twips.left, dpi), pixelsFromTwips(twips.top, dpi),
            pixelsFromTwips(twips.width, dpi), pixelsFromTwips(twips.height, dpi)};
}

// A straight line between two end points, both drawn.
struct TwipsLine
{
    int x1;
    int y1;
    int x2;
    int y2;
};

// The pixels a line covers at `dpi`: both end points, as thick as one pixel
// at 96 dpi and never thinner than one.
PixelRect pixelsCovering(const TwipsLine &line, int dpi = 96) noexcept;

// A font as the layout names it; each front end finds the face or its stand-in.
struct FontSpec
{
    std::u16string face;
    double points;
    int weight = 400; // 400 regular, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1; // a Windows character set: 1 the default, 204 Cyrillic

    friend bool operator==(const FontSpec &, const FontSpec &) = default;
};

inline constexpr int kBoldWeight = 700;
inline constexpr int kCyrillicCharset = 204;

// The height of a font's em in whole pixels at `dpi` (the size a Windows
// font is asked for).
int emPixels(const FontSpec &font, int dpi) noexcept;

// One control of the window. `order` is its place in the control list and
// also the drawing order, front (1) to back. Unset colours and fonts are the
// system's for the kind (buttons keep the system's button colours whatever
// the window's colour is).
struct ControlSpec
{
    int order;
    const char *name;
    ControlKind kind;
    Role role = Role::None;
    std::variant<TwipsRect, TwipsLine> geometry;
    std::optional<Rgb> background = {};
    std::optional<Rgb> foreground = {};
    std::optional<FontSpec> font = {}; // unset: the window's font
    Alignment alignment = Alignment::Left;
    std::optional<int> tabIndex = {}; // unset: the control has no tab stop
    // The button Return presses where no button has the focus, as a dialog's.
    bool isDefault = false;
    std::u16string caption = {};
    std::u16string accessibleName = {}; // for controls without a caption
    std::u16string accessibleDescription = {};
    // For a label: the control (by its role) that its text describes to
    // assistive technology.
    Role describes = Role::None;
    // For a button: the control (by its role) whose content its press changes.
    Role controls = Role::None;
    // Place in what a screen reader reads, from 0; unset: decoration, hidden.
    std::optional<int> readingIndex = {};
};

// The window's own properties.
struct WindowSpec
{
    const char *name;
    std::u16string caption;
    TwipsRect clientArea; // left and top are screen coordinates
    Rgb background;
    FontSpec font; // the default for every control that sets none
};

const WindowSpec &windowSpec();

// Whether a row's text is the user's to select and copy, where a view lets a
// label's text be selected (the page): the answer, which students paste into
// their reports.
constexpr bool isSelectableText(const ControlSpec &row) noexcept
{
    return row.role == Role::Answer;
}

// The controls in their order, front to back.
std::span<const ControlSpec> controlSpecs();

// Where the control of `row` stands in the client area at `dpi`: its box, or
// the pixels its line covers.
PixelRect pixelBox(const ControlSpec &row, int dpi = 96) noexcept;

// A row by its name, or nullptr.
const ControlSpec *findControl(std::string_view name);

// The row the program uses for `role`; each role other than None has one.
const ControlSpec &controlWithRole(Role role);

// The font a control is drawn in: its own, else the window's.
const FontSpec &fontOf(const ControlSpec &row) noexcept;

// Whether the control takes the keyboard focus: only buttons do. Labels hold
// tab indexes too but never take the focus.
bool takesFocus(const ControlSpec &row) noexcept;

// The controls that take the focus, by tab index: Tab moves along it, and the
// first has the focus when the window opens.
std::vector<const ControlSpec *> tabOrder();

// The button marked as the default; every table has one.
const ControlSpec &defaultButton();

// The controls a screen reader reads, in its order (by reading index); the
// lines, which have none, are left out.
std::vector<const ControlSpec *> readingOrder();

// What names a control to assistive technology: its accessible name, else
// `caption` (the caption it has now) as shown; single-spaced either way.
std::u16string accessibleName(const ControlSpec &row, std::u16string_view caption);

// How a screen reader meets the controls: as each takes the focus (a desktop
// window), or also one after another in reading order (a web page's browse
// mode), where a label read just before a control need not describe it too.
enum class Reading
{
    ByFocus,
    InOrder,
};

// The row whose `relation` (`describes` or `controls`) names `row`'s role,
// or nullptr: the label that describes a button, the button that controls
// the answer.
const ControlSpec *rowRelatedTo(const ControlSpec &row, Role ControlSpec::*relation) noexcept;

// What describes a control to assistive technology: the text its describing
// label shows, else its own description (may be empty);
// single-spaced either way. Read in order, a label that comes just before
// the control describes nothing: it has been heard.
std::u16string accessibleDescription(const ControlSpec &row, Reading reading = Reading::ByFocus);

// The button whose access key is `key`, both letters compared through `fold`
// (the front end's case mapping); nullptr where no button has it.
const ControlSpec *buttonWithAccessKey(char16_t key, char16_t (*fold)(char16_t));

} // namespace form
