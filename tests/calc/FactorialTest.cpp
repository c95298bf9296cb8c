#include "Factorial.h"

#include "RuntimeError.h"
#include "Variant.h"

#include <cmath>
#include <gtest/gtest.h>

using calc::f;
using calc::Variant;
using Kind = calc::Variant::Kind;

namespace {

struct Expected
{
    std::int16_t k;
    Kind kind;
    double value;
};

Variant integer(std::int16_t value)
{
    return Variant(value);
}

} // namespace

TEST(Factorial, KindsAndValuesAcrossTheWideningBoundaries)
{
    const Expected cases[] = {
        {-32768, Kind::Integer, 1},
        {-5, Kind::Integer, 1},
        {0, Kind::Integer, 1},
        {1, Kind::Integer, 1},
        {7, Kind::Integer, 5040},
        {8, Kind::Long, 40320},
        {12, Kind::Long, 479001600},
        {13, Kind::Double, 6227020800.0},
        {20, Kind::Double, 2432902008176640000.0},
    };
    for (const Expected &c : cases) {
        SCOPED_TRACE(c.k);
        const Variant result = f(c.k);
        EXPECT_EQ(result.kind(), c.kind);
        EXPECT_EQ(result.toDouble(), c.value);
    }
}

TEST(Factorial, LastFiniteAndFirstOverflowingArgument)
{
    const Variant at170 = f(170);
    EXPECT_EQ(at170.kind(), Kind::Double);
    EXPECT_TRUE(std::isfinite(at170.toDouble()));
    EXPECT_NEAR(at170.toDouble() / 7.257415615307994e306, 1.0, 1e-15);

    for (std::int16_t k : {std::int16_t{171}, std::int16_t{1000}, std::int16_t{32767}}) {
        try {
            f(k);
            ADD_FAILURE() << "f(" << k << ") returned";
        } catch (const calc::RuntimeError &error) {
            EXPECT_EQ(error.kind(), calc::ErrorKind::Overflow);
        }
    }
}

TEST(Variant, WideningNeverNarrowsAgain)
{
    // 7! is the last Integer; times 1 must keep a Long a Long, a Double a Double.
    const Variant asLong = f(8);
    EXPECT_EQ(asLong.times(1).kind(), Kind::Long);
    EXPECT_EQ(asLong.times(0).kind(), Kind::Long);
    const Variant asDouble = f(13);
    EXPECT_EQ(asDouble.times(0).kind(), Kind::Double);
    EXPECT_EQ(asDouble.times(0).toDouble(), 0.0);
}

TEST(Variant, MultiplicationWidensAtTheExactRangeEdges)
{
    // 16-bit edge: 181 * 181 = 32761 stays Integer, 182 * 182 = 33124 does not.
    EXPECT_EQ(integer(181).times(181).kind(), Kind::Integer);
    EXPECT_EQ(integer(182).times(182).kind(), Kind::Long);
    EXPECT_EQ(integer(-32768).times(1).kind(), Kind::Integer);
    EXPECT_EQ(integer(-32768).times(-1).kind(), Kind::Long);
    EXPECT_EQ(integer(-32768).times(-1).toDouble(), 32768.0);

    // 32-bit edge: -32768 * -32768 * 2 = 2^31 leaves the Long range, while
    // -2^30 * 2 = -2^31 is the last value that stays in it.
    const Variant twoPow30 = integer(-32768).times(-32768);
    EXPECT_EQ(twoPow30.kind(), Kind::Long);
    EXPECT_EQ(twoPow30.times(2).kind(), Kind::Double);
    EXPECT_EQ(twoPow30.times(2).toDouble(), 2147483648.0);
    EXPECT_EQ(twoPow30.times(-2).kind(), Kind::Long);
    EXPECT_EQ(twoPow30.times(-2).toDouble(), -2147483648.0);
}

TEST(Variant, DivisionIsDoubleDivision)
{
    EXPECT_EQ(f(1) / f(5), 1.0 / 120.0);
    EXPECT_EQ(f(16) / f(20), 20922789888000.0 / 2432902008176640000.0);
}
