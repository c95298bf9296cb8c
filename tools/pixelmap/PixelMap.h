#pragma once

// A picture kept as text: a legend that gives each character a colour (or
// transparency), then one row of characters per row of pixels, top first.
//
//   # comment
//   legend . 255 255 255 white
//   legend x transparent
//   pixels
//   ..x..

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

struct Rgb
{
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

struct PixelMap
{
    int width = 0;
    int height = 0;
    std::vector<std::optional<Rgb>> pixels; // row-major from the top; nullopt is transparent

    const std::optional<Rgb> &at(int x, int y) const { return pixels.at(y * width + x); }

    // Throws std::runtime_error naming the line at fault.
    static PixelMap parse(const std::string &text);
};

using Bytes = std::vector<std::uint8_t>;

// A 24-bit device-independent bitmap file at 96 dpi, rows bottom-up and
// padded to four bytes. The map must have no transparent pixels.
Bytes bitmapFile(const PixelMap &map);

// One icon image as Windows stores it (in an .ico file or as an icon
// resource): header, the standard 16-colour palette, 4-bit colour rows and a
// 1-bit transparency mask. Every colour must be one of the palette's.
Bytes iconImage(const PixelMap &map);

// An .ico file holding the given images.
Bytes iconFile(const std::vector<PixelMap> &maps);

// A group icon resource: the directory of an .ico file whose entries name
// icon resources by number instead of file offsets.
Bytes iconGroup(const std::vector<PixelMap> &maps, const std::vector<std::uint16_t> &ids);

// A PNG file of the map with every pixel enlarged to a `scale` x `scale`
// block, transparent pixels fully transparent.
Bytes pngFile(const PixelMap &map, int scale);

// A C++ source file that defines each map as an art::Image (EmbeddedArt.h)
// named as given: its pixels as 32-bit ARGB words, so that the program shows
// them without decoding any file.
std::string sourceFile(const std::vector<std::pair<std::string, PixelMap>> &images);

// The standard 16-colour palette in its index order.
const std::vector<Rgb> &standardPalette();
