#include "CaptionLayout.h"

#include "Contrast.h"
#include "SansSerif8.h"
#include "WindowTable.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using form::CaptionLine;

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

// Each line where its alignment puts its ink, one pitch below the last; the
// key underlined where it is drawn, and not where it hangs past a line's end.
TEST(CaptionLayout, PlacesEachLineAndTheAccessKeysUnderline)
{
    const auto unit = [](std::size_t from, std::size_t to) { return 2.0 * double(to - from); };
    const form::CaptionFont font{unit, 13, 11};
    const auto lay = [&](std::u16string_view caption, form::Alignment alignment) {
        return form::layCaption(form::ShownCaption::fromCaption(caption), alignment, 10, font);
    };

    // "ab  " and "cde", inks 4 and 6 wide, in a box of 10.
    const form::LaidCaption centred = lay(u"ab  c&de", form::Alignment::Centre);
    ASSERT_EQ(centred.lines.size(), 2u);
    EXPECT_EQ(centred.lines[0].range, (CaptionLine{0, 4, 2}));
    EXPECT_DOUBLE_EQ(centred.lines[0].x, 3);
    EXPECT_DOUBLE_EQ(centred.lines[0].width, 4);
    EXPECT_DOUBLE_EQ(centred.lines[1].x, 2);
    EXPECT_DOUBLE_EQ(centred.lines[1].y, 13);
    EXPECT_DOUBLE_EQ(centred.lines[1].height, 13);
    ASSERT_TRUE(centred.underline);
    EXPECT_EQ(centred.underline->line, 1u);
    EXPECT_EQ(centred.underline->index, 5u);
    EXPECT_DOUBLE_EQ(centred.underline->x, 4);
    EXPECT_DOUBLE_EQ(centred.underline->width, 2);
    EXPECT_DOUBLE_EQ(centred.underline->y, 24);

    const form::LaidCaption right = lay(u"&ab", form::Alignment::Right);
    EXPECT_DOUBLE_EQ(right.lines.at(0).x, 6);
    EXPECT_DOUBLE_EQ(right.underline->x, 6);
    EXPECT_DOUBLE_EQ(lay(u"ab", form::Alignment::Left).lines.at(0).x, 0);

    EXPECT_FALSE(lay(u"abcd &  e", form::Alignment::Left).underline) << "a hanging key";
    EXPECT_FALSE(lay(u"a && b", form::Alignment::Left).underline);
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
