#pragma once

// The baseline of the calculation benchmarks: the same sixteen terms summed
// in plain double arithmetic, with no checks. The start and the threshold are
// read through volatile so the compiler cannot fold the loop away.

#include <cmath>

namespace bench {

inline volatile int plainStart = 1;
inline volatile double plainThreshold = 0.00001;

inline double plainFactorial(int k) noexcept
{
    double product = 1.0;
    for (int i = 1; i <= k; ++i)
        product *= i;
    return product;
}

inline double plainSeriesSum() noexcept
{
    double s = 0.0;
    double t = 1.0;
    const double threshold = plainThreshold;
    for (int k = plainStart; std::fabs(t) > threshold; ++k) {
        t = plainFactorial(k) / plainFactorial(k + 4);
        s += t;
    }
    return s;
}

} // namespace bench
