// What a speech or braille reader gets of a text the window shows: single
// spaces, the screen's text intact. (The window's own texts as a reader gets
// them are the conformance suite's.)
#include "AccessibleText.h"

#include <gtest/gtest.h>
#include <string>

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
