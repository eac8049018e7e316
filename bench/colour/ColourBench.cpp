// The costs of the colour string and of colours by name: the string is read whenever settings
// load, and a cached name must cost a hash look-up rather than a search of the table.

#include <benchmark/benchmark.h>

#include "colour/UIColor_Expanded.h"
#include "colour/UIColor_Expanded_Support.h"

namespace {

void BM_ColorWithStringOfFourComponents(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(UIColor_Expanded::colorWithString("{0.850, 0.850, 0.850, 0.850}"));
    }
}
BENCHMARK(BM_ColorWithStringOfFourComponents);

void BM_StringFromColor(benchmark::State& state) {
    UIColorRef color = UIColor::colorWithRed(0.85, 0.5, 0.125, 0.85);
    for (auto _ : state) benchmark::DoNotOptimize(UIColor_Expanded::stringFromColor(color));
}
BENCHMARK(BM_StringFromColor);

// The last entry of the table, the longest search.
constexpr const char* kName = "yellowgreen";

void BM_ColorWithNameCached(benchmark::State& state) {
    UIColor_Expanded::colorWithName(kName);
    for (auto _ : state) benchmark::DoNotOptimize(UIColor_Expanded::colorWithName(kName));
}
BENCHMARK(BM_ColorWithNameCached);

void BM_SearchForColorByName(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(UIColor_Expanded_Support::searchForColorByName(kName));
    }
}
BENCHMARK(BM_SearchForColorByName);

}  // namespace
