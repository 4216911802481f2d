// Number formatting: every report line and axis label goes through it.
#include <benchmark/benchmark.h>

#include "platform/NumberFormat.h"

namespace {

void BM_FormatGrouped(benchmark::State& state) {
    double v = 12345.678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ombrix::formatNumber(v, "#,##0.00"));
        v += 0.001;
    }
}
BENCHMARK(BM_FormatGrouped);

void BM_PlainNumber(benchmark::State& state) {
    double v = 0.1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ombrix::plainNumber(v));
        v += 0.37;
    }
}
BENCHMARK(BM_PlainNumber);

}  // namespace

BENCHMARK_MAIN();
