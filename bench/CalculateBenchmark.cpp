// The checked series sum against the same sixteen terms summed in plain
// double arithmetic, like with like; and the whole Calculate computation
// (checked sum plus answer text) beside them, to show what the text costs.
#include "AnswerText.h"
#include "SeriesSum.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <string>

namespace {

// Read through volatile so the compiler cannot fold the plain loop away.
volatile int plainStart = 1;
volatile double plainThreshold = 0.00001;

double plainFactorial(int k) noexcept
{
    double product = 1.0;
    for (int i = 1; i <= k; ++i)
        product *= i;
    return product;
}

double plainSeriesSum() noexcept
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

void BM_PlainDoubleSum(benchmark::State &state)
{
    for (auto _ : state) {
        const double s = plainSeriesSum();
        if (s != 0.013840155945419106) {
            state.SkipWithError("plain sum is wrong");
            break;
        }
    }
}

void BM_CheckedSum(benchmark::State &state)
{
    for (auto _ : state) {
        const calc::SeriesSum sum = calc::sumSeries();
        if (sum.s != 0.013840155945419106 || sum.k != 17) {
            state.SkipWithError("checked sum is wrong");
            break;
        }
    }
}

void BM_CheckedCalculate(benchmark::State &state)
{
    for (auto _ : state) {
        const calc::SeriesSum sum = calc::sumSeries();
        std::string text = calc::makeAnswerText(sum.s, sum.k, ",");
        if (text != "00,01384   17") {
            state.SkipWithError("answer text is wrong");
            break;
        }
        benchmark::DoNotOptimize(text.data());
    }
}

} // namespace

BENCHMARK(BM_PlainDoubleSum);
BENCHMARK(BM_CheckedSum);
BENCHMARK(BM_CheckedCalculate);

BENCHMARK_MAIN();
