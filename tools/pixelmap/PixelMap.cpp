#include "PixelMap.h"

#include <algorithm>
#include <iomanip>
#include <map>
#include <sstream>
#include <zlib.h>

namespace {

constexpr int kPixelsPerMetreAt96Dpi = 3780;

std::runtime_error parseError(int line, const std::string &what)
{
    return std::runtime_error("line " + std::to_string(line) + ": " + what);
}

class Writer
{
public:
    void u8(std::uint32_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void u16(std::uint32_t value)
    {
        u8(value & 0xff);
        u8(value >> 8);
    }
    void u32(std::uint32_t value)
    {
        u16(value & 0xffff);
        u16(value >> 16);
    }
    void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void append(const Bytes &more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

constexpr std::size_t paddedRow(std::size_t bytes) noexcept
{
    return (bytes + 3) / 4 * 4;
}

void infoHeader(Writer &out, int width, int height, int bitCount, std::uint32_t imageSize,
                int pixelsPerMetre)
{
    out.u32(40);
    out.u32(static_cast<std::uint32_t>(width));
    out.u32(static_cast<std::uint32_t>(height));
    out.u16(1);
    out.u16(static_cast<std::uint32_t>(bitCount));
    out.u32(0); // uncompressed
    out.u32(imageSize);
    out.u32(static_cast<std::uint32_t>(pixelsPerMetre));
    out.u32(static_cast<std::uint32_t>(pixelsPerMetre));
    out.u32(0); // colours used: all of the bit depth
    out.u32(0);
}

std::uint8_t paletteIndex(const std::optional<Rgb> &colour)
{
    if (!colour)
        return 0; // transparent pixels are black under their mask bit
    const auto &palette = standardPalette();
    const auto found = std::find(palette.begin(), palette.end(), *colour);
    if (found == palette.end())
        throw std::runtime_error("icon colour outside the standard 16-colour palette");
    return static_cast<std::uint8_t>(found - palette.begin());
}

} // namespace

const std::vector<Rgb> &standardPalette()
{
    static const std::vector<Rgb> palette{
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
        {192, 192, 192}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return palette;
}

PixelMap PixelMap::parse(const std::string &text)
{
    std::map<char, std::optional<Rgb>> legend;
    PixelMap map;
    bool inPixels = false;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!inPixels) {
            if (line.empty() || line[0] == '#')
                continue;
            if (line == "pixels") {
                inPixels = true;
                continue;
            }
            std::istringstream fields(line);
            std::string keyword, symbol, first;
            fields >> keyword >> symbol >> first;
            if (keyword != "legend" || symbol.size() != 1 || legend.count(symbol[0]))
                throw parseError(number, "expected \"legend <character> <colour>\"");
            if (first == "transparent") {
                legend[symbol[0]] = std::nullopt;
                continue;
            }
            int red = -1, green = -1, blue = -1;
            std::istringstream(first) >> red;
            fields >> green >> blue;
            if (!fields || std::min({red, green, blue}) < 0 || std::max({red, green, blue}) > 255)
                throw parseError(number, "a colour is three numbers from 0 to 255");
            legend[symbol[0]] =
                Rgb{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                    static_cast<std::uint8_t>(blue)};
            continue;
        }
        if (map.height == 0)
            map.width = static_cast<int>(line.size());
        if (static_cast<int>(line.size()) != map.width || map.width == 0)
            throw parseError(number, "every row must have the first row's width");
        for (char symbol : line) {
            const auto colour = legend.find(symbol);
            if (colour == legend.end())
                throw parseError(number, std::string("'") + symbol + "' is not in the legend");
            map.pixels.push_back(colour->second);
        }
        ++map.height;
    }
    if (map.height == 0)
        throw parseError(number, "no pixel rows");
    return map;
}

Bytes bitmapFile(const PixelMap &map)
{
    const std::size_t rowSize = paddedRow(static_cast<std::size_t>(map.width) * 3);
    const auto imageSize = static_cast<std::uint32_t>(rowSize * map.height);
    Writer out;
    out.u8('B');
    out.u8('M');
    out.u32(14 + 40 + imageSize);
    out.u32(0);
    out.u32(14 + 40);
    infoHeader(out, map.width, map.height, 24, imageSize, kPixelsPerMetreAt96Dpi);
    for (int y = map.height - 1; y >= 0; --y) {
        for (int x = 0; x < map.width; ++x) {
            const std::optional<Rgb> &pixel = map.at(x, y);
            if (!pixel)
                throw std::runtime_error("a bitmap has no transparent pixels");
            out.u8(pixel->blue);
            out.u8(pixel->green);
            out.u8(pixel->red);
        }
        out.zeros(rowSize - static_cast<std::size_t>(map.width) * 3);
    }
    return out.take();
}

Bytes iconImage(const PixelMap &map)
{
    const std::size_t colourRow = paddedRow((static_cast<std::size_t>(map.width) + 1) / 2);
    const std::size_t maskRow = paddedRow((static_cast<std::size_t>(map.width) + 7) / 8);
    Writer out;
    // The height counts the colour rows and the mask rows together.
    infoHeader(out, map.width, map.height * 2, 4,
               static_cast<std::uint32_t>((colourRow + maskRow) * map.height), 0);
    for (const Rgb &colour : standardPalette()) {
        out.u8(colour.blue);
        out.u8(colour.green);
        out.u8(colour.red);
        out.u8(0);
    }
    for (int y = map.height - 1; y >= 0; --y) {
        Bytes row(colourRow, 0);
        for (int x = 0; x < map.width; ++x)
            row[x / 2] |= static_cast<std::uint8_t>(paletteIndex(map.at(x, y)) << (x % 2 ? 0 : 4));
        out.append(row);
    }
    for (int y = map.height - 1; y >= 0; --y) {
        Bytes row(maskRow, 0);
        for (int x = 0; x < map.width; ++x) {
            if (!map.at(x, y))
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.append(row);
    }
    return out.take();
}

namespace {

// The directory shared by .ico files and group icon resources; `last` writes
// each entry's final field (an offset or a resource number).
template <typename Last>
void iconDirectory(Writer &out, const std::vector<PixelMap> &maps, const std::vector<Bytes> &images,
                   Last last)
{
    out.u16(0);
    out.u16(1); // icons, not cursors
    out.u16(static_cast<std::uint32_t>(maps.size()));
    for (std::size_t i = 0; i < maps.size(); ++i) {
        out.u8(static_cast<std::uint32_t>(maps[i].width % 256));
        out.u8(static_cast<std::uint32_t>(maps[i].height % 256));
        out.u8(16); // colours
        out.u8(0);
        out.u16(1);
        out.u16(4);
        out.u32(static_cast<std::uint32_t>(images[i].size()));
        last(i);
    }
}

std::vector<Bytes> iconImages(const std::vector<PixelMap> &maps)
{
    std::vector<Bytes> images;
    for (const PixelMap &map : maps)
        images.push_back(iconImage(map));
    return images;
}

} // namespace

Bytes iconFile(const std::vector<PixelMap> &maps)
{
    const std::vector<Bytes> images = iconImages(maps);
    Writer out;
    auto offset = static_cast<std::uint32_t>(6 + 16 * maps.size());
    iconDirectory(out, maps, images, [&](std::size_t i) {
        out.u32(offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    });
    for (const Bytes &image : images)
        out.append(image);
    return out.take();
}

Bytes iconGroup(const std::vector<PixelMap> &maps, const std::vector<std::uint16_t> &ids)
{
    if (ids.size() != maps.size())
        throw std::runtime_error("one resource number per icon image");
    Writer out;
    iconDirectory(out, maps, iconImages(maps), [&](std::size_t i) { out.u16(ids[i]); });
    return out.take();
}

namespace {

void bigEndian32(Bytes &out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void chunk(Bytes &png, const char *type, const Bytes &data)
{
    bigEndian32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    bigEndian32(png, static_cast<std::uint32_t>(crc32(0, png.data() + typeStart,
                                                      static_cast<uInt>(png.size() - typeStart))));
}

Bytes zlibStream(const Bytes &raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib could not compress the image");
    out.resize(size);
    return out;
}

} // namespace

Bytes pngFile(const PixelMap &map, int scale)
{
    if (scale < 1)
        throw std::runtime_error("the scale is a whole number from 1");
    const int width = map.width * scale, height = map.height * scale;
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no row filter
        for (int x = 0; x < width; ++x) {
            const std::optional<Rgb> &pixel = map.at(x / scale, y / scale);
            const Rgb colour = pixel.value_or(Rgb{0, 0, 0});
            raw.insert(raw.end(), {colour.red, colour.green, colour.blue,
                                   static_cast<std::uint8_t>(pixel ? 255 : 0)});
        }
    }
    Bytes header;
    bigEndian32(header, static_cast<std::uint32_t>(width));
    bigEndian32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, no interlace

    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", zlibStream(raw));
    chunk(png, "IEND", {});
    return png;
}

std::string sourceFile(const std::vector<std::pair<std::string, PixelMap>> &images)
{
    std::ostringstream out;
    out << "// Generated by tools/pixelmap from the text pixel maps under assets/.\n"
           "#include \"EmbeddedArt.h\"\n\nnamespace art {\nnamespace {\n";
    for (const auto &[name, map] : images) {
        out << "\nconstexpr std::uint32_t " << name << "Pixels[] = {";
        for (std::size_t i = 0; i < map.pixels.size(); ++i) {
            const std::optional<Rgb> &pixel = map.pixels[i];
            const std::uint32_t argb = pixel ? 0xff000000u | std::uint32_t{pixel->red} << 16 |
                                                   std::uint32_t{pixel->green} << 8 | pixel->blue
                                             : 0u;
            out << (i % 8 ? " " : "\n    ") << "0x" << std::hex << std::setw(8) << std::setfill('0')
                << argb << std::dec << ',';
        }
        out << "\n};\n";
    }
    out << "\n} // namespace\n\n";
    for (const auto &[name, map] : images)
        out << "const Image " << name << "{" << map.width << ", " << map.height << ", " << name
            << "Pixels};\n";
    out << "\n} // namespace art\n";
    return out.str();
}
