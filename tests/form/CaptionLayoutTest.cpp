#include "CaptionLayout.h"

#include "Contrast.h"
#include "WindowTable.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>

namespace {

using form::CaptionLine;

// Advances of "MS Sans Serif" 8 pt at 96 dpi, Cyrillic code page (Wine's
// sserifer.fon, 13-px cell), for every character of the instructions and the
// task statement.
const std::map<char16_t, int> kSansSerif8{
    {u' ', 3}, {u'"', 5}, {u'&', 6}, {u',', 3}, {u'-', 3}, {u'.', 3}, {u'0', 6}, {u'1', 6},
    {u':', 3}, {u'B', 7}, {u'I', 3}, {u'L', 6}, {u'a', 6}, {u'b', 6}, {u'e', 6}, {u'l', 2},
    {u'n', 6}, {u'o', 6}, {u'p', 6}, {u't', 3}, {u'u', 6}, {u'x', 5}, {u'В', 7}, {u'Д', 9},
    {u'Е', 7}, {u'З', 7}, {u'О', 8}, {u'С', 7}, {u'Т', 7}, {u'а', 6}, {u'б', 6}, {u'в', 6},
    {u'г', 5}, {u'д', 6}, {u'е', 6}, {u'ж', 8}, {u'з', 6}, {u'и', 6}, {u'й', 6}, {u'к', 6},
    {u'л', 6}, {u'м', 8}, {u'н', 6}, {u'о', 6}, {u'п', 6}, {u'р', 6}, {u'с', 6}, {u'т', 5},
    {u'у', 5}, {u'ф', 8}, {u'х', 5}, {u'ц', 6}, {u'ч', 5}, {u'ш', 8}, {u'щ', 9}, {u'ы', 8},
    {u'ь', 6}, {u'э', 6}, {u'ю', 8}, {u'я', 6}};

form::MeasureText sansSerif8(const std::u16string &text)
{
    return [&text](std::size_t from, std::size_t to) {
        double width = 0;
        for (std::size_t i = from; i < to; ++i)
            width += kSansSerif8.at(text[i]);
        return width;
    };
}

struct Laid
{
    std::u16string text;
    std::vector<CaptionLine> lines;

    std::u16string line(std::size_t i) const
    {
        return text.substr(lines.at(i).start, lines.at(i).inkLength);
    }
    double inkWidth(std::size_t i) const
    {
        return sansSerif8(text)(lines.at(i).start, lines.at(i).inkEnd());
    }
};

// A label's caption laid out in its 96-dpi width with MS Sans Serif 8 pt.
Laid layLabel(const char *name)
{
    const form::ControlSpec *row = form::findControl(name);
    if (!row)
        throw std::out_of_range(name);
    Laid laid{form::ShownCaption::fromCaption(row->caption).text, {}};
    const int width = form::pixelsFromTwips(std::get<form::TwipsRect>(row->geometry).width);
    laid.lines = form::breakLines(laid.text, sansSerif8(laid.text), width);
    return laid;
}

} // namespace

TEST(CaptionLayout, TheTaskStatementBreaksIntoItsSixLinesClearOfThePicture)
{
    const Laid task = layLabel("Label1");
    ASSERT_EQ(task.lines.size(), 6u);
    const char16_t *firstWords[] = {u"Задание:", u"с  точностью",          u"Суммируются",
                                    u"больше",   u"подпрограммы-функции.", u"InputBox,"};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_TRUE(task.line(i).starts_with(firstWords[i])) << i;
    // The picture stands 272 px into the label, over its first three lines.
    EXPECT_EQ(task.inkWidth(0), 259);
    EXPECT_EQ(task.inkWidth(2), 256);
    EXPECT_LT(task.inkWidth(1), 272);

    // Every character on exactly one line, in order; the 45 spaces after
    // "ряда" hang at the end of the first line instead of starting the second.
    std::size_t next = 0;
    for (const CaptionLine &line : task.lines) {
        EXPECT_EQ(line.start, next);
        next = line.end();
        EXPECT_EQ(task.text.substr(line.inkEnd(), line.length - line.inkLength),
                  std::u16string(line.length - line.inkLength, u' '));
    }
    EXPECT_EQ(next, task.text.size());
    EXPECT_TRUE(task.line(0).ends_with(u"ряда"));
    EXPECT_EQ(task.lines[0].length - task.lines[0].inkLength, 45u);
}

TEST(CaptionLayout, EachInstructionTakesTwoLines)
{
    const Laid calculate = layLabel("Label2");
    ASSERT_EQ(calculate.lines.size(), 2u);
    EXPECT_TRUE(calculate.line(0).ends_with(u"нажмите"));
    EXPECT_EQ(calculate.inkWidth(0), 295);

    const Laid exit = layLabel("Label3");
    ASSERT_EQ(exit.lines.size(), 2u);
    EXPECT_TRUE(exit.line(0).ends_with(u"кнопку"));
    EXPECT_EQ(exit.line(1), u"\"Выход\".");
}

TEST(CaptionLayout, AWordMovesWholeAndOnlyAnOverlongOneIsSplit)
{
    const std::u16string words = u"ab cd  ef";
    const auto unit = [](std::size_t from, std::size_t to) { return double(to - from); };
    EXPECT_EQ(form::breakLines(words, unit, 4),
              (std::vector<CaptionLine>{{0, 3, 2}, {3, 4, 2}, {7, 2, 2}}));

    const std::u16string overlong = u"abcdefg hi";
    EXPECT_EQ(form::breakLines(overlong, unit, 3),
              (std::vector<CaptionLine>{{0, 3, 3}, {3, 3, 3}, {6, 2, 1}, {8, 2, 2}}));
    // Leading spaces stay on a line of their own where the word fits the next.
    EXPECT_EQ(form::breakLines(u"   abc", unit, 4),
              (std::vector<CaptionLine>{{0, 3, 0}, {3, 3, 3}}));
    EXPECT_TRUE(form::breakLines(u"", unit, 4).empty());
}

TEST(CaptionLayout, AccessKeyMarkers)
{
    const auto literal = form::ShownCaption::fromCaption(u"A && B &");
    EXPECT_EQ(literal.text, u"A & B &");
    EXPECT_FALSE(literal.underlined);

    const auto exit = form::ShownCaption::fromCaption(u"В&ыход");
    EXPECT_EQ(exit.text, u"Выход");
    EXPECT_EQ(exit.underlined, 1u);
    EXPECT_EQ(form::accessKey(u"&&x &Вычислить"), u'В');
    EXPECT_FALSE(form::accessKey(u"no key && here"));
}

TEST(Contrast, TextOnTheBandsStaysLegibleInAnyScheme)
{
    constexpr form::Rgb black{0, 0, 0}, white{255, 255, 255}, yellow{255, 255, 0},
        magenta{255, 0, 255}, lightGrey{238, 238, 236};
    EXPECT_NEAR(form::contrastRatio(black, white), 21.0, 1e-9);
    EXPECT_NEAR(form::contrastRatio(yellow, yellow), 1.0, 1e-9);

    // The usual scheme keeps its text colour; a dark scheme's light text
    // gives way to black on every band the table fixes.
    for (const form::Rgb band : {yellow, magenta, white}) {
        EXPECT_EQ(form::legibleInk(black, band), black);
        EXPECT_EQ(form::legibleInk(lightGrey, band), black);
        EXPECT_GE(form::contrastRatio(form::legibleInk(white, band), band), form::kLegibleContrast);
    }
    EXPECT_EQ(form::legibleInk(black, form::Rgb{0, 0, 128}), white);
}
