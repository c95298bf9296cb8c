#pragma once

#include "FloatingPointFlags.h"
#include "Int16.h"
#include "RuntimeError.h"

#include <cmath>
#include <cstdint>
#include <functional>

namespace calc {

// The loop stops after the first term whose magnitude is not above this.
inline constexpr double kThreshold = 0.00001;

// The loop's variables. A run of the exercise always starts from the defaults;
// other start values only serve to reach the failure paths in tests.
struct SeriesState
{
    double s = 0.0;     // running sum
    double t = 1.0;     // the last term; 1 only lets the first test pass
    std::int16_t k = 1; // index of the next term
};

struct SeriesSum
{
    double s;
    std::int16_t k;
};

// The term k! / (k+4)!, with k+4 a checked 16-bit temporary.
double seriesTerm(std::int16_t k);

// The summing loop, tested before each pass. `term` computes the term for an
// index; the exercise uses seriesTerm. Its floating-point operations, like the
// loop's own, go through FloatingPoint, or the loop may miss their faults.
template <typename Term> SeriesSum sumSeriesFrom(SeriesState state, Term &&term)
{
    FloatingPoint::clearFaults();
    for (;;) {
        const double magnitude = std::fabs(state.t);
        if (FloatingPoint::faultRaised())
            raise(ErrorKind::FloatingPoint);
        // Written as "not greater" so that a NaN term also ends the loop.
        if (!(magnitude > kThreshold))
            break;
        state.t = term(state.k);
        state.s = FloatingPoint::sum(state.s, state.t);
        if (FloatingPoint::faultRaised())
            raise(ErrorKind::FloatingPoint);
        state.k = addChecked(state.k, 1);
    }
    return {state.s, state.k};
}

// The exercise: the sum of k! / (k+4)! for k = 1, 2, ... and the final k.
SeriesSum sumSeries();

// What the Calculate button runs: sumSeries in the program; a test passes
// one that fails, to see the failure reported.
using Calculation = std::function<SeriesSum()>;

} // namespace calc
