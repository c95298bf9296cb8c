// The generated picture and icon files, read byte by byte.
#include "PixelMap.h"

#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>

namespace {

Bytes readFile(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t u16(const Bytes &b, std::size_t at)
{
    return b.at(at) | b.at(at + 1) << 8;
}

std::uint32_t u32(const Bytes &b, std::size_t at)
{
    return u16(b, at) | u16(b, at + 2) << 16;
}

struct Box
{
    const char *element;
    int left, right, top, bottom; // inclusive
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

constexpr std::array<Box, 6> kElements{{
    {"small 8", 8, 11, 3, 9},
    {"sigma", 2, 17, 14, 31},
    {"K=1", 3, 18, 35, 41},
    {"K!", 41, 55, 5, 15},
    {"fraction bar", 22, 74, 23, 23},
    {"(4 + K)!", 24, 72, 28, 41},
}};

// The formula bitmap, decoded from its bytes: RGB of pixel (x, y) from the top.
class Bitmap
{
public:
    explicit Bitmap(Bytes bytes) : bytes_(std::move(bytes)) {}
    const Bytes &bytes() const { return bytes_; }
    Rgb at(int x, int y) const
    {
        const std::size_t offset = 54 + static_cast<std::size_t>(44 - y) * 232 + x * 3;
        return {bytes_.at(offset + 2), bytes_.at(offset + 1), bytes_.at(offset)};
    }

private:
    Bytes bytes_;
};

const Bitmap &formula()
{
    static const Bitmap bitmap(readFile(VANTREL_FORMULA_BMP));
    return bitmap;
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

} // namespace

TEST(FormulaBitmap, HeadersAndLayout)
{
    const Bytes &b = formula().bytes();
    ASSERT_EQ(b.size(), 10494u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), 10494u); // file size
    EXPECT_EQ(u32(b, 10), 54u);   // pixels follow both headers
    EXPECT_EQ(u32(b, 14), 40u);   // information header size
    EXPECT_EQ(u32(b, 18), 77u);
    EXPECT_EQ(u32(b, 22), 45u); // positive: rows bottom-up
    EXPECT_EQ(u16(b, 26), 1u);
    EXPECT_EQ(u16(b, 28), 24u);
    EXPECT_EQ(u32(b, 30), 0u); // uncompressed, no palette
    EXPECT_EQ(u32(b, 34), 232u * 45);
    EXPECT_EQ(u32(b, 38), 3780u); // 96 dpi
    EXPECT_EQ(u32(b, 42), 3780u);
    EXPECT_EQ(u32(b, 46), 0u);
    for (int row = 0; row < 45; ++row)
        EXPECT_EQ(b.at(54 + row * 232 + 231), 0) << "padding of row " << row;
}

TEST(FormulaBitmap, ColourCensus)
{
    std::map<std::array<int, 3>, int> census;
    int shades = 0;
    const std::array<Rgb, 3> intermediate{{{102, 102, 51}, {128, 128, 128}, {173, 169, 144}}};
    for (int y = 0; y < 45; ++y) {
        for (int x = 0; x < 77; ++x) {
            const Rgb p = formula().at(x, y);
            ++census[{p.red, p.green, p.blue}];
            if (p == kWhite || p == kBlack)
                continue;
            EXPECT_NE(std::find(intermediate.begin(), intermediate.end(), p), intermediate.end())
                << "unexpected colour at " << x << ", " << y;
            EXPECT_TRUE(kElements[1].contains(x, y))
                << "shade outside the sigma at " << x << ", " << y;
            ++shades;
        }
    }
    EXPECT_EQ(shades, 42);
    EXPECT_EQ(census.size(), 5u);
    const int white = census[{255, 255, 255}], black = census[{0, 0, 0}];
    EXPECT_GT(white, black); // a white background
}

TEST(FormulaBitmap, EachElementFillsItsBoxAndNothingLiesOutside)
{
    for (const Box &box : kElements) {
        SCOPED_TRACE(box.element);
        int left = 77, right = -1, top = 45, bottom = -1;
        for (int y = box.top; y <= box.bottom; ++y) {
            for (int x = box.left; x <= box.right; ++x) {
                if (formula().at(x, y) == kWhite)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        EXPECT_EQ(left, box.left);
        EXPECT_EQ(right, box.right);
        EXPECT_EQ(top, box.top);
        EXPECT_EQ(bottom, box.bottom);
    }
    for (int x = 22; x <= 74; ++x)
        EXPECT_EQ(formula().at(x, 23), kBlack) << "fraction bar at " << x;
    for (int y = 0; y < 45; ++y) {
        for (int x = 0; x < 77; ++x) {
            const bool inside = std::any_of(kElements.begin(), kElements.end(),
                                            [&](const Box &box) { return box.contains(x, y); });
            if (!inside) {
                EXPECT_EQ(formula().at(x, y), kWhite) << "stray pixel at " << x << ", " << y;
            }
        }
    }
}

namespace {

struct IconEntry
{
    int width, height, colours, planes, bitCount;
    std::uint32_t size, offset;
};

IconEntry entry(const Bytes &ico, int index)
{
    const std::size_t at = 6 + 16 * static_cast<std::size_t>(index);
    return {ico.at(at),
            ico.at(at + 1),
            ico.at(at + 2),
            static_cast<int>(u16(ico, at + 4)),
            static_cast<int>(u16(ico, at + 6)),
            u32(ico, at + 8),
            u32(ico, at + 12)};
}

// Palette index of pixel (x, y) from the top, and whether its mask bit is set.
int colourIndex(const Bytes &ico, const IconEntry &e, int x, int y)
{
    const std::size_t row =
        e.offset + 40 + 64 + static_cast<std::size_t>(e.height - 1 - y) * (e.width / 2);
    const std::uint8_t pair = ico.at(row + x / 2);
    return x % 2 ? pair & 0x0f : pair >> 4;
}

bool transparent(const Bytes &ico, const IconEntry &e, int x, int y)
{
    const std::size_t maskStart = e.offset + 40 + 64 + e.width / 2 * e.height;
    const std::size_t row = maskStart + static_cast<std::size_t>(e.height - 1 - y) * 4;
    return ico.at(row + x / 8) & (0x80 >> (x % 8));
}

} // namespace

TEST(ProgramIcon, DirectoryAndEntries)
{
    const Bytes ico = readFile(VANTREL_ICON_ICO);
    ASSERT_EQ(ico.size(), 6u + 2 * 16 + 744 + 296);
    EXPECT_EQ(u16(ico, 0), 0u);
    EXPECT_EQ(u16(ico, 2), 1u); // icon
    EXPECT_EQ(u16(ico, 4), 2u); // two images
    const IconEntry big = entry(ico, 0), small = entry(ico, 1);
    EXPECT_EQ(big.width, 32);
    EXPECT_EQ(big.height, 32);
    EXPECT_EQ(big.size, 744u);
    EXPECT_EQ(small.width, 16);
    EXPECT_EQ(small.height, 16);
    EXPECT_EQ(small.size, 296u);
    for (const IconEntry &e : {big, small}) {
        EXPECT_EQ(e.colours, 16);
        EXPECT_EQ(e.planes, 1);
        EXPECT_EQ(e.bitCount, 4);
        EXPECT_EQ(u32(ico, e.offset), 40u);
        EXPECT_EQ(u32(ico, e.offset + 4), static_cast<std::uint32_t>(e.width));
        EXPECT_EQ(u32(ico, e.offset + 8), static_cast<std::uint32_t>(e.height * 2));
        EXPECT_EQ(u16(ico, e.offset + 14), 4u);
    }
    EXPECT_EQ(big.offset, 38u);
    EXPECT_EQ(small.offset, 38u + 744);
}

TEST(ProgramIcon, StandardPaletteInOrder)
{
    const Bytes ico = readFile(VANTREL_ICON_ICO);
    const std::array<std::array<int, 3>, 16> expected{{
        {0, 0, 0},
        {128, 0, 0},
        {0, 128, 0},
        {128, 128, 0},
        {0, 0, 128},
        {128, 0, 128},
        {0, 128, 128},
        {128, 128, 128},
        {192, 192, 192},
        {255, 0, 0},
        {0, 255, 0},
        {255, 255, 0},
        {0, 0, 255},
        {255, 0, 255},
        {0, 255, 255},
        {255, 255, 255},
    }};
    for (int image = 0; image < 2; ++image) {
        const std::size_t palette = entry(ico, image).offset + 40;
        for (std::size_t i = 0; i < 16; ++i) {
            const std::array<int, 3> rgb{ico.at(palette + 4 * i + 2), ico.at(palette + 4 * i + 1),
                                         ico.at(palette + 4 * i)};
            EXPECT_EQ(rgb, expected[i]) << "image " << image << ", index " << i;
            EXPECT_EQ(ico.at(palette + 4 * i + 3), 0);
        }
    }
}

TEST(ProgramIcon, DesignOfBothSizes)
{
    const Bytes ico = readFile(VANTREL_ICON_ICO);
    constexpr int kBlackIndex = 0, kGreyIndex = 7, kSilverIndex = 8, kWhiteIndex = 15;
    const IconEntry big = entry(ico, 0);
    for (int y = 0; y < 32; ++y) {
        const bool frameRow = y >= 3 && y <= 28;
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(transparent(ico, big, x, y), !frameRow) << x << ", " << y;
    }
    // Black outline, white highlight top and left, grey shadow bottom and right.
    EXPECT_EQ(colourIndex(ico, big, 10, 3), kBlackIndex);
    EXPECT_EQ(colourIndex(ico, big, 10, 4), kWhiteIndex);
    EXPECT_EQ(colourIndex(ico, big, 1, 15), kWhiteIndex);
    EXPECT_EQ(colourIndex(ico, big, 10, 27), kGreyIndex);
    EXPECT_EQ(colourIndex(ico, big, 30, 15), kGreyIndex);
    EXPECT_EQ(colourIndex(ico, big, 3, 15), kSilverIndex);

    const IconEntry small = entry(ico, 1);
    // No grey shadow: the outer bottom and right of the frame are silver.
    for (int i = 2; i < 14; ++i) {
        EXPECT_NE(colourIndex(ico, small, i, 13), kGreyIndex) << "bottom, x " << i;
        EXPECT_NE(colourIndex(ico, small, 14, i), kGreyIndex) << "right, y " << i;
    }
    EXPECT_EQ(colourIndex(ico, small, 8, 13), kSilverIndex);
    EXPECT_EQ(colourIndex(ico, small, 8, 2), kWhiteIndex);
}

TEST(PixelMapSource, RejectsMalformedMaps)
{
    EXPECT_THROW(PixelMap::parse("legend . 255 255 255\npixels\n.x\n"), std::runtime_error);
    EXPECT_THROW(PixelMap::parse("legend . 255 255 255\npixels\n..\n.\n"), std::runtime_error);
    EXPECT_THROW(PixelMap::parse("legend . 256 0 0\npixels\n.\n"), std::runtime_error);
    EXPECT_THROW(PixelMap::parse("legend . 0 0 0\nlegend . 1 1 1\npixels\n.\n"),
                 std::runtime_error);
    EXPECT_THROW(PixelMap::parse("legend . 0 0 0\n"), std::runtime_error);
    EXPECT_THROW(bitmapFile(PixelMap::parse("legend . transparent\npixels\n.\n")),
                 std::runtime_error);
    EXPECT_THROW(iconImage(PixelMap::parse("legend . 1 2 3\npixels\n.\n")), std::runtime_error);

    const PixelMap map =
        PixelMap::parse("# note\nlegend a 1 2 3\nlegend b transparent\npixels\nab\nba\n");
    EXPECT_EQ(map.width, 2);
    EXPECT_EQ(map.height, 2);
    EXPECT_EQ(map.at(0, 0), (Rgb{1, 2, 3}));
    EXPECT_FALSE(map.at(1, 0).has_value());
}
