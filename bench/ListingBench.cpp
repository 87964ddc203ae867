// Reading and rewriting a listing must stay linear in its size: a PIC32
// program of 512 KiB gives listings of several hundred thousand lines.
#include "SyntheticListing.h"
#include "core/JumpRewriter.h"
#include "core/ListingReader.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using travonix::bench::syntheticListing;

void BM_ReadAndRewriteListing(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    const std::string text = syntheticListing(lines);
    for (auto _ : state) {
        auto result = travonix::readListing(text, {false, true, false});
        const auto report = travonix::rewriteJumps(result.listing);
        benchmark::DoNotOptimize(report.rewritten);
        benchmark::DoNotOptimize(result.functions.data());
    }
    state.SetComplexityN(static_cast<benchmark::IterationCount>(lines));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadAndRewriteListing)
    ->RangeMultiplier(2)
    ->Range(62500, 500000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_FullReading(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    const std::string text = syntheticListing(lines);
    for (auto _ : state) {
        auto result = travonix::readListing(text, {false, false, true});
        benchmark::DoNotOptimize(result.listing.lines().data());
    }
    state.SetComplexityN(static_cast<benchmark::IterationCount>(lines));
}
BENCHMARK(BM_FullReading)
    ->RangeMultiplier(2)
    ->Range(62500, 500000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
