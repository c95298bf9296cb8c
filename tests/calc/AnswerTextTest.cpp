#include "AnswerText.h"

#include <gtest/gtest.h>
#include <limits>

using calc::formatFixed5;
using calc::makeAnswerText;
using calc::strInteger;

TEST(AnswerText, TheExercisesAnswerUnderBothSeparators)
{
    EXPECT_EQ(makeAnswerText(0.013840155945419106, 17, ","), "00,01384   17");
    EXPECT_EQ(makeAnswerText(0.013840155945419106, 17, "."), "00.01384   17");
    // A separator of several bytes (Arabic decimal separator, UTF-8).
    EXPECT_EQ(makeAnswerText(0.013840155945419106, 17, "\u066b"), "00\u066b01384   17");
}

TEST(AnswerText, FormatFixed5PadsAndRounds)
{
    EXPECT_EQ(formatFixed5(0.0, "."), "00.00000");
    EXPECT_EQ(formatFixed5(-0.0, "."), "00.00000");
    EXPECT_EQ(formatFixed5(123.4, "."), "123.40000");
    EXPECT_EQ(formatFixed5(7.0, ","), "07,00000");
    EXPECT_EQ(formatFixed5(9.999996, "."), "10.00000");
    EXPECT_EQ(formatFixed5(0.123456, "."), "00.12346");
    EXPECT_EQ(formatFixed5(1e20, "."), "100000000000000000000.00000");
    EXPECT_EQ(formatFixed5(std::numeric_limits<double>::max(), ".").size(), 309u + 1 + 5);
}

TEST(AnswerText, FormatFixed5Signs)
{
    EXPECT_EQ(formatFixed5(-3.14159, "."), "-03.14159");
    EXPECT_EQ(formatFixed5(-123.4, ","), "-123,40000");
    EXPECT_EQ(formatFixed5(std::numeric_limits<double>::infinity(), "."), "inf");
    EXPECT_EQ(formatFixed5(-std::numeric_limits<double>::infinity(), "."), "-inf");
}

TEST(AnswerText, StrIntegerReservesTheSignPosition)
{
    EXPECT_EQ(strInteger(17), " 17");
    EXPECT_EQ(strInteger(0), " 0");
    EXPECT_EQ(strInteger(-3), "-3");
    EXPECT_EQ(strInteger(32767), " 32767");
    EXPECT_EQ(strInteger(-32768), "-32768");
}
