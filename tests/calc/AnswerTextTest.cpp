#include "AnswerText.h"

#include <gtest/gtest.h>
#include <limits>

using calc::formatFixed5;
using calc::makeAnswerText;
using calc::strInteger;

TEST(AnswerText, TheExercisesAnswerUnderBothSeparators)
{
    EXPECT_EQ(makeAnswerText(0.013840155945419106, 17, u","), u"00,01384   17");
    EXPECT_EQ(makeAnswerText(0.013840155945419106, 17, u"."), u"00.01384   17");
    // A separator beyond ASCII (the Arabic decimal separator) and one of
    // several characters, as Windows allows.
    EXPECT_EQ(makeAnswerText(0.013840155945419106, 17, u"\u066b"), u"00\u066b01384   17");
    EXPECT_EQ(makeAnswerText(0.013840155945419106, 17, u" , "), u"00 , 01384   17");
}

TEST(AnswerText, FormatFixed5PadsAndRounds)
{
    EXPECT_EQ(formatFixed5(0.0, u"."), u"00.00000");
    EXPECT_EQ(formatFixed5(-0.0, u"."), u"00.00000");
    EXPECT_EQ(formatFixed5(123.4, u"."), u"123.40000");
    EXPECT_EQ(formatFixed5(7.0, u","), u"07,00000");
    EXPECT_EQ(formatFixed5(9.999996, u"."), u"10.00000");
    EXPECT_EQ(formatFixed5(0.123456, u"."), u"00.12346");
    EXPECT_EQ(formatFixed5(1e20, u"."), u"100000000000000000000.00000");
    EXPECT_EQ(formatFixed5(std::numeric_limits<double>::max(), u".").size(), 309u + 1 + 5);
}

TEST(AnswerText, FormatFixed5Signs)
{
    EXPECT_EQ(formatFixed5(-3.14159, u"."), u"-03.14159");
    EXPECT_EQ(formatFixed5(-123.4, u","), u"-123,40000");
    EXPECT_EQ(formatFixed5(std::numeric_limits<double>::infinity(), u"."), u"inf");
    EXPECT_EQ(formatFixed5(-std::numeric_limits<double>::infinity(), u"."), u"-inf");
}

TEST(AnswerText, StrIntegerReservesTheSignPosition)
{
    EXPECT_EQ(strInteger(17), u" 17");
    EXPECT_EQ(strInteger(0), u" 0");
    EXPECT_EQ(strInteger(-3), u"-3");
    EXPECT_EQ(strInteger(32767), u" 32767");
    EXPECT_EQ(strInteger(-32768), u"-32768");
}
