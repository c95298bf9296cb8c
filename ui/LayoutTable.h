#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <span>
#include <variant>

// Positions and sizes are in twips, 1/1440 inch: 15 twips to the logical pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int pixelsFromTwips(int twips) noexcept
{
    return twips / kTwipsPerPixel;
}

enum class ControlKind
{
    Button,
    Label,
    Image,
    Line,
};

struct TwipsRect
{
    int left;
    int top;
    int width;
    int height;
};

// A straight line between two end points, both drawn.
struct TwipsLine
{
    int x1;
    int y1;
    int x2;
    int y2;
};

struct FontSpec
{
    QString family;
    qreal pointSize;
    QFont::Weight weight = QFont::Normal;
    int stretch = QFont::AnyStretch; // a width class in percent, as QFont::setStretch takes
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0; // the Windows character set the face must cover: 204 is Cyrillic
};

// One control of the window. `order` is its place in the control list and
// also the drawing order, front (1) to back.
struct ControlSpec
{
    int order;
    const char *name;
    ControlKind kind;
    std::variant<TwipsRect, TwipsLine> geometry;
    std::optional<QColor> background = {}; // unset: the system's colour for the kind
    std::optional<QColor> foreground = {};
    std::optional<FontSpec> font = {}; // unset: the window's font
    Qt::Alignment alignment = Qt::AlignLeft;
    std::optional<int> tabIndex = {}; // unset: the control has no tab stop
    QString caption = {};
    QString accessibleName = {}; // for controls without a caption
    QString accessibleDescription = {};
};

// The window's own properties.
struct WindowSpec
{
    const char *name;
    QString caption;
    TwipsRect clientArea; // left and top are screen coordinates
    QColor background;
    FontSpec font; // the default for every control that sets none
};

const WindowSpec &windowSpec();

// The controls in their order, front to back.
std::span<const ControlSpec> controlSpecs();
