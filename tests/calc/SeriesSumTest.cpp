#include "SeriesSum.h"

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <utility>
#include <vector>

using calc::ErrorKind;
using calc::RuntimeError;
using calc::SeriesState;
using calc::sumSeriesFrom;

namespace {

std::uint64_t bits(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

// Runs `body` and returns the kind of the RuntimeError it raises.
template <typename Body> ErrorKind raisedKind(Body &&body)
{
    try {
        body();
    } catch (const RuntimeError &error) {
        return error.kind();
    }
    ADD_FAILURE() << "no RuntimeError was raised";
    return ErrorKind::Overflow;
}

// Inputs the compiler cannot see through, so the faulting operations run.
volatile double zero = 0.0;
volatile double largest = std::numeric_limits<double>::max();

} // namespace

TEST(SeriesSum, SumsSixteenTermsToTheLastBit)
{
    const calc::SeriesSum sum = calc::sumSeries();
    EXPECT_EQ(bits(sum.s), bits(0.013840155945419106)) << sum.s;
    EXPECT_EQ(sum.k, 17);
}

TEST(SeriesSum, RepeatedRunsAgreeAndIgnoreStaleFlags)
{
    const calc::SeriesSum first = calc::sumSeries();
    // Flags left over from earlier arithmetic must not fail the next run.
    std::feraiseexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    const calc::SeriesSum second = calc::sumSeries();
    EXPECT_EQ(bits(first.s), bits(second.s));
    EXPECT_EQ(first.k, second.k);
}

TEST(SeriesSum, TermsFollowTheClosedForm)
{
    for (std::int16_t k = 1; k <= 16; ++k) {
        const double closed = 1.0 / ((k + 1.0) * (k + 2.0) * (k + 3.0) * (k + 4.0));
        EXPECT_NEAR(calc::seriesTerm(k), closed, closed * 1e-15) << k;
    }
    EXPECT_EQ(bits(calc::seriesTerm(15)), bits(1.0749914000687994e-05));
    EXPECT_EQ(bits(calc::seriesTerm(16)), bits(8.599931200550395e-06));
}

TEST(SeriesSum, TheFirstTermNotAboveTheThresholdIsStillAdded)
{
    const auto atThreshold = [](std::int16_t) { return calc::kThreshold; };
    const calc::SeriesSum sum = sumSeriesFrom(SeriesState{0.0, 1.0, 5}, atThreshold);
    EXPECT_EQ(sum.s, calc::kThreshold);
    EXPECT_EQ(sum.k, 6);

    // A start term already at the threshold means no pass at all.
    const calc::SeriesSum none = sumSeriesFrom(SeriesState{0.5, calc::kThreshold, 3}, atThreshold);
    EXPECT_EQ(none.s, 0.5);
    EXPECT_EQ(none.k, 3);
}

TEST(SeriesSum, AQuietNanTermEndsTheLoop)
{
    const auto quietNan = [](std::int16_t) { return std::numeric_limits<double>::quiet_NaN(); };
    const calc::SeriesSum sum = sumSeriesFrom(SeriesState{}, quietNan);
    EXPECT_TRUE(std::isnan(sum.s));
    EXPECT_EQ(sum.k, 2);
}

TEST(SeriesSum, OverflowFromTheFactorialOrTheCounter)
{
    // f(171) overflows the double range.
    EXPECT_EQ(raisedKind([] {
                  sumSeriesFrom(SeriesState{0.0, 1.0, 171}, calc::seriesTerm);
              }),
              ErrorKind::Overflow);
    EXPECT_EQ(raisedKind([] { calc::seriesTerm(32764); }), ErrorKind::Overflow);

    // The counter itself: the pass at k = 32767 cannot step to 32768.
    const auto constantTerm = [](std::int16_t) { return 1.0; };
    EXPECT_EQ(raisedKind([&] {
                  sumSeriesFrom(SeriesState{0.0, 1.0, 32767}, constantTerm);
              }),
              ErrorKind::Overflow);
}

TEST(SeriesSum, FloatingPointFaultsRaisedByATermAreCaught)
{
    const auto invalid = [](std::int16_t) { return zero / zero; };
    const auto divisionByZero = [](std::int16_t) { return 1.0 / zero; };
    const auto overflow = [](std::int16_t) { return largest * 2.0; };
    EXPECT_EQ(raisedKind([&] { sumSeriesFrom(SeriesState{}, invalid); }), ErrorKind::FloatingPoint);
    EXPECT_EQ(raisedKind([&] { sumSeriesFrom(SeriesState{}, divisionByZero); }),
              ErrorKind::FloatingPoint);
    EXPECT_EQ(raisedKind([&] { sumSeriesFrom(SeriesState{}, overflow); }),
              ErrorKind::FloatingPoint);
}

TEST(SeriesSum, TheSumItselfOverflowing)
{
    // Each term is finite; only the addition leaves the double range.
    const auto largestTerm = [](std::int16_t) { return largest; };
    EXPECT_EQ(raisedKind([&] {
                  sumSeriesFrom(SeriesState{largest, 1.0, 1}, largestTerm);
              }),
              ErrorKind::FloatingPoint);
}

// The flags read through the C library and, where doubles are in SSE
// registers, straight from MXCSR: both see the same faults, and neither takes
// an underflow or an inexact result for one.
TEST(FloatingPointFlags, EveryWayOfReadingThemSeesTheSameFaults)
{
    struct Reader
    {
        const char *name;
        void (*clear)() noexcept;
        bool (*faulted)() noexcept;
    };
    std::vector<Reader> readers{{"C library", calc::portable::clearFloatingPointFlags,
                                 calc::portable::floatingPointFaultRaised}};
#ifdef VANTREL_SSE_FLAGS
    readers.push_back(
        {"MXCSR", calc::sse::clearFloatingPointFlags, calc::sse::floatingPointFaultRaised});
#endif
    volatile double one = 1.0;
    volatile double tiny = std::numeric_limits<double>::min();
    const std::pair<const char *, double (*)()> operations[] = {
        {"overflow", [] { return calc::evaluated(largest * largest); }},
        {"zero by zero", [] { return calc::evaluated(zero / zero); }},
        {"one by zero", [] { return calc::evaluated(1.0 / zero); }},
    };
    for (const Reader &reader : readers) {
        SCOPED_TRACE(reader.name);
        for (const auto &[what, operation] : operations) {
            reader.clear();
            EXPECT_FALSE(reader.faulted());
            operation();
            EXPECT_TRUE(reader.faulted()) << what;
        }
        reader.clear();
        calc::evaluated(tiny * tiny); // underflow
        calc::evaluated(one / 3.0);   // inexact
        EXPECT_FALSE(reader.faulted());
    }
}
