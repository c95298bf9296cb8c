// The calculation benchmark for the Windows build, run under Wine: the
// checked series sum against the same sixteen terms in plain double
// arithmetic, like with like. (Google Benchmark has no MinGW build in
// Debian, so this times batches with the steady clock itself: alternating
// batches, median of each.)
// usage: calc_timing [BATCHES]
#include "../PlainSeriesSum.h"
#include "SeriesSum.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

volatile double sink = 0;

// Nanoseconds per run of `body`, over one batch.
template <typename Body> double batch(Body body, int runs)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i)
        sink = sink + body();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(end - start).count() / runs;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    const int batches = argc > 1 ? std::atoi(argv[1]) : 15;
    constexpr int kRuns = 20000;
    if (bench::plainSeriesSum() != calc::sumSeries().s) {
        std::puts("the plain and the checked sum differ");
        return 1;
    }
    std::vector<double> plain, checked;
    for (int i = 0; i < batches; ++i) {
        plain.push_back(batch(bench::plainSeriesSum, kRuns));
        checked.push_back(batch([] { return calc::sumSeries().s; }, kRuns));
    }
    std::printf("plain double sum:  %8.1f ns (median of %d batches)\n", median(plain), batches);
    std::printf("checked sum:       %8.1f ns (median of %d batches)\n", median(checked), batches);
    std::printf("checked / plain:   %8.2f x\n", median(checked) / median(plain));
    return 0;
}
