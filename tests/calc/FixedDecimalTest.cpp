#include "FixedDecimal.h"

#include <gtest/gtest.h>
#include <limits>

using calc::fixedDecimal;

// The expected texts are what an exact decimal expansion of each double gives,
// so these hold on every platform, whatever its standard library offers.

TEST(FixedDecimal, TiesGoToTheEvenNeighbourAndEverythingElseToTheNearest)
{
    EXPECT_EQ(fixedDecimal(1.0 / 64, 5), "0.01562");  // 0.015625 exactly: a tie
    EXPECT_EQ(fixedDecimal(3.0 / 64, 5), "0.04688");  // 0.046875: a tie, rounded up to even
    EXPECT_EQ(fixedDecimal(1.0 / 128, 5), "0.00781"); // 0.0078125: below the half
    EXPECT_EQ(fixedDecimal(0.000005, 5), "0.00001");  // the double lies just above the half
    EXPECT_EQ(fixedDecimal(0.999995, 5), "0.99999");  // ... and this one just below it
    EXPECT_EQ(fixedDecimal(9.999995, 5), "10.00000"); // a carry into a new integer digit
    EXPECT_EQ(fixedDecimal(0.5, 0), "0");
    EXPECT_EQ(fixedDecimal(1.5, 0), "2");
    EXPECT_EQ(fixedDecimal(2.5, 0), "2");
    EXPECT_EQ(fixedDecimal(3.141592653589793, 9), "3.141592654");
    EXPECT_EQ(fixedDecimal(0.013840155945419106, 5), "0.01384");
}

TEST(FixedDecimal, TheWholeRangeOfDoubles)
{
    constexpr auto limits = std::numeric_limits<double>();
    EXPECT_EQ(fixedDecimal(0.0, 5), "0.00000");
    EXPECT_EQ(fixedDecimal(-0.0, 5), "-0.00000");
    EXPECT_EQ(fixedDecimal(limits.denorm_min(), 5), "0.00000");
    EXPECT_EQ(fixedDecimal(-limits.denorm_min(), 5), "-0.00000");
    EXPECT_EQ(fixedDecimal(limits.min(), 9), "0.000000000");
    EXPECT_EQ(fixedDecimal(1e22, 5), "10000000000000000000000.00000");
    EXPECT_EQ(fixedDecimal(9007199254740993.0, 1), "9007199254740992.0");
    EXPECT_EQ(fixedDecimal(limits.max(), 5),
              "17976931348623157081452742373170435679807056752584499659891747680315726078002853876"
              "05895586327668781715404589535143824642343213268894641827684675467035375169860499105"
              "76551282076245490090389328944075868508455133942304583236903222948165808559332123348"
              "274797826204144723168738177180919299881250404026184124858368.00000");
    EXPECT_EQ(fixedDecimal(-limits.max(), 0).size(), 1u + 309u);
    EXPECT_EQ(fixedDecimal(limits.infinity(), 5), "inf");
    EXPECT_EQ(fixedDecimal(-limits.infinity(), 5), "-inf");
    EXPECT_EQ(fixedDecimal(limits.quiet_NaN(), 5), "nan");
    EXPECT_EQ(fixedDecimal(-limits.quiet_NaN(), 5), "-nan");
}
