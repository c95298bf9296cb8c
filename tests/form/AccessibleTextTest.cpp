// What a speech or braille reader gets of the window's texts: single spaces,
// words it speaks at its usual punctuation level, the screen's text intact.
#include "AccessibleText.h"

#include "CaptionLayout.h"
#include "WindowTable.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const form::ControlSpec &row(const char *name)
{
    return *form::findControl(name);
}

} // namespace

TEST(AccessibleText, RunsOfSpacesBecomeOneAndTheEndsLoseTheirs)
{
    EXPECT_EQ(form::accessibleText(u"00,01384   17"), u"00,01384 17");
    EXPECT_EQ(form::accessibleText(u" О    Т    В    Е    Т"), u"О Т В Е Т");
    EXPECT_EQ(form::accessibleText(u"  a  "), u"a");
    EXPECT_EQ(form::accessibleText(u"   "), u"");
    EXPECT_EQ(form::accessibleText(u""), u"");
}

// The text interface hands out offsets in the single-spaced text; the
// character boxes are found in the shown one.
TEST(AccessibleText, EachOffsetFindsItsCharacterOnTheScreen)
{
    const std::u16string shown = u" ab   c ";
    const std::u16string text = form::accessibleText(shown); // "ab c"
    ASSERT_EQ(text, u"ab c");
    for (std::size_t i = 0; i < text.size(); ++i)
        EXPECT_EQ(shown[form::shownOffset(shown, i)], text[i]) << i;
    EXPECT_EQ(form::shownOffset(shown, 1), 2U);
    EXPECT_EQ(form::shownOffset(shown, 3), 6U);
    EXPECT_EQ(form::shownOffset(shown, 4), shown.size());
}

// The task statement's runs of 45, 66 and 35 spaces stay on the screen and
// reach no reader; so do the instructions' double spaces.
TEST(AccessibleText, TheTableGivesEveryReaderSingleSpaces)
{
    const std::u16string task = form::ShownCaption::fromCaption(row("Label1").caption).text;
    ASSERT_NE(task.find(std::u16string(66, u' ')), std::u16string::npos);
    const std::u16string name = form::accessibleName(row("Label1"), row("Label1").caption);
    EXPECT_EQ(name.find(u"  "), std::u16string::npos);
    EXPECT_EQ(name.size(), 286U); // of 453 shown
    EXPECT_EQ(name.substr(0, 34), u"Задание: \"Вычислить сумму бесконеч");

    EXPECT_EQ(form::accessibleDescription(form::controlWithRole(form::Role::Calculate)),
              u"Для вычисления конечной суммы данного ряла, нажмите кнопку \"Вычислить\" "
              u"и Вы получите \" О Т В Е Т \" .");
    EXPECT_EQ(form::accessibleName(form::controlWithRole(form::Role::Answer), u"00,01384   17"),
              u"00,01384 17");
    EXPECT_EQ(form::accessibleName(form::controlWithRole(form::Role::Exit), u"В&ыход"), u"Выход");
}

// At its usual punctuation level a reader says nothing for "!": the name
// says the formula in words, with its limits, once; nothing repeats it.
TEST(AccessibleText, TheFormulaIsNamedInWordsWithItsLimits)
{
    const std::u16string name = form::accessibleName(row("Image1"), u"");
    EXPECT_EQ(name, u"Формула: сумма по K от 1 до бесконечности, K факториал, делённое на "
                    u"факториал суммы 4 и K");
    EXPECT_EQ(name.find(u'!'), std::u16string::npos);
    EXPECT_EQ(form::accessibleDescription(row("Image1")), u"");
}
