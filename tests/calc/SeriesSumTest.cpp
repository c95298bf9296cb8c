#include "SeriesSum.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

using calc::ErrorKind;
using calc::RuntimeError;
using calc::SeriesState;
using calc::sumSeriesFrom;

namespace {

std::uint64_t bits(double value)
{
    std::uint64_t pattern = 0; // as std::bit_cast, which not every standard library has yet
    std::memcpy(&pattern, &value, sizeof pattern);
    return pattern;
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
    // Faults left over from earlier arithmetic must not fail the next run.
    calc::FloatingPoint::quotient(zero, zero);
    ASSERT_TRUE(calc::FloatingPoint::faultRaised());
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
    const auto invalid = [](std::int16_t) { return calc::FloatingPoint::quotient(zero, zero); };
    const auto divisionByZero = [](std::int16_t) {
        return calc::FloatingPoint::quotient(1.0, zero);
    };
    const auto overflow = [](std::int16_t) { return calc::FloatingPoint::product(largest, 2.0); };
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

// Every way of finding the faults this build has (the flags through the C
// library or MXCSR, and the results themselves) on the same operations: each
// finds the same faults, keeps them until cleared, and takes neither an
// underflow, an inexact result nor an infinity or a NaN passed on for one.
namespace {

enum class Operation
{
    Sum,
    Product,
    Quotient,
};

// Runs one operation through a way, on operands the compiler cannot fold.
template <typename Way> double apply(Operation operation, double a, double b)
{
    volatile double left = a;
    volatile double right = b;
    switch (operation) {
    case Operation::Sum:
        return Way::sum(left, right);
    case Operation::Product:
        return Way::product(left, right);
    case Operation::Quotient:
        return Way::quotient(left, right);
    }
    return 0.0;
}

// Whether an operation on a freshly cleared way leaves a fault raised.
template <typename Way> bool faults(Operation operation, double a, double b)
{
    Way::clearFaults();
    apply<Way>(operation, a, b);
    return Way::faultRaised();
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kLargest = std::numeric_limits<double>::max();
constexpr double kSmallest = std::numeric_limits<double>::min(); // normal

// The faults of each kind of operation, and a fault kept until cleared.
template <typename Way> void expectTheSameFaultsFound()
{
    struct Case
    {
        const char *what;
        Operation operation;
        double a;
        double b;
        bool fault;
    };
    const Case cases[] = {
        {"sum overflowing", Operation::Sum, kLargest, kLargest, true},
        {"sum overflowing below", Operation::Sum, -kLargest, -kLargest, true},
        {"infinities cancelling", Operation::Sum, kInfinity, -kInfinity, true},
        {"infinity passed on", Operation::Sum, kInfinity, 1.0, false},
        {"NaN passed on", Operation::Sum, kNan, 1.0, false},
        {"inexact sum", Operation::Sum, 1.0, 1e-17, false},
        {"product overflowing", Operation::Product, kLargest, 2.0, true},
        {"infinity times zero", Operation::Product, kInfinity, 0.0, true},
        {"product underflowing", Operation::Product, kSmallest, kSmallest, false},
        {"factorial step", Operation::Product, 6227020800.0, 14.0, false},
        {"zero by zero", Operation::Quotient, 0.0, 0.0, true},
        {"one by zero", Operation::Quotient, 1.0, 0.0, true},
        {"minus one by minus zero", Operation::Quotient, -1.0, -0.0, true},
        {"infinity by zero", Operation::Quotient, kInfinity, 0.0, false},
        {"infinity by infinity", Operation::Quotient, kInfinity, kInfinity, true},
        {"quotient overflowing", Operation::Quotient, kLargest, 0.5, true},
        {"quotient underflowing", Operation::Quotient, kSmallest, kLargest, false},
        {"inexact quotient", Operation::Quotient, 1.0, 3.0, false},
        {"NaN by zero", Operation::Quotient, kNan, 0.0, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(faults<Way>(c.operation, c.a, c.b), c.fault) << c.what;

    Way::clearFaults();
    apply<Way>(Operation::Quotient, 1.0, 0.0);
    apply<Way>(Operation::Sum, 1.0, 2.0);
    EXPECT_TRUE(Way::faultRaised()) << "a fault lost by a later operation";
    Way::clearFaults();
    EXPECT_FALSE(Way::faultRaised()) << "a fault kept after clearing";
}

} // namespace

TEST(FloatingPointFlags, EveryWayFindsTheSameFaults)
{
#ifdef VANTREL_FENV_FLAGS
    {
        SCOPED_TRACE("C library");
        expectTheSameFaultsFound<calc::CLibraryFlags>();
    }
#endif
#ifdef VANTREL_SSE_FLAGS
    {
        SCOPED_TRACE("MXCSR");
        expectTheSameFaultsFound<calc::SseFlags>();
    }
#endif
    SCOPED_TRACE("results");
    expectTheSameFaultsFound<calc::ResultChecks>();
}

#if defined(VANTREL_SSE_FLAGS) || defined(VANTREL_FENV_FLAGS)
// The results against the hardware's flags on every pair of edge values.
TEST(FloatingPointFlags, ResultsAgreeWithTheHardwareOnEdgeOperands)
{
    using Hardware = calc::FloatingPoint;
    constexpr double kTiniest = std::numeric_limits<double>::denorm_min();
    const double values[] = {0.0,    -0.0,  1.0,      -1.0,      3.0,       kSmallest,  kTiniest,
                             1e-300, 1e300, kLargest, -kLargest, kInfinity, -kInfinity, kNan};
    for (const Operation operation : {Operation::Sum, Operation::Product, Operation::Quotient}) {
        for (const double a : values) {
            for (const double b : values) {
                EXPECT_EQ(faults<calc::ResultChecks>(operation, a, b),
                          faults<Hardware>(operation, a, b))
                    << "operation " << static_cast<int>(operation) << " on " << a << ", " << b;
            }
        }
    }
}
#endif
