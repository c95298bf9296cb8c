#pragma once

#include <QString>
#include <span>

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
};

struct TwipsRect
{
    int left;
    int top;
    int width;
    int height;
};

// One control of the window, in the window's control list order.
struct ControlSpec
{
    int order;
    const char *name;
    ControlKind kind;
    TwipsRect geometry;
    int tabIndex;
    QString caption;
};

// The window's own properties.
struct WindowSpec
{
    const char *name;
    QString caption;
    TwipsRect clientArea; // position on the screen and client size
};

const WindowSpec &windowSpec();
std::span<const ControlSpec> controlSpecs();
