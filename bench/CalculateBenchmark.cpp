// The checked series sum against the same sixteen terms summed in plain
// double arithmetic, like with like; and the whole Calculate computation
// (checked sum plus answer text) beside them, to show what the text costs.
#include "AnswerText.h"
#include "PlainSeriesSum.h"
#include "SeriesSum.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <string>

namespace {

void BM_PlainDoubleSum(benchmark::State &state)
{
    for (auto _ : state) {
        const double s = bench::plainSeriesSum();
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
        std::u16string text = calc::makeAnswerText(sum.s, sum.k, u",");
        if (text != u"00,01384   17") {
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
