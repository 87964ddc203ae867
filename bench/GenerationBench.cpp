// A conversion of every function must stay linear in the listing's size:
// one index of headers per run, no search from the top for each function.
#include "SyntheticListing.h"
#include "core/Conversion.h"
#include "core/JumpRewriter.h"
#include "core/ListingReader.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace travonix;

// Counts the bytes it is given and keeps none.
class CountingWriter : public FileWriter {
  public:
    using FileWriter::writeWhole;
    Outcome writeWhole(const std::string&, std::string_view bytes) override {
        written_ += bytes.size();
        return std::nullopt;
    }
    [[nodiscard]] std::uint64_t written() const { return written_; }

  private:
    std::uint64_t written_ = 0;
};

// Building and writing every function of a listing of the given size, in
// single-file mode (every block is built, one file is written).
void BM_ConvertAllFunctions(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    ReadResult read = readListing(bench::syntheticListing(lines), {false, true, false});
    (void)rewriteJumps(read.listing);
    ConversionSettings settings;
    settings.mode = OutputMode::SingleFile;
    settings.outputFolder = "out";
    const Stamp stamp{{2026, 12, 10, 9, 5, 7}, "bench"};
    CountingWriter writer;
    for (auto _ : state) {
        const ConversionPlan plan = planConversion(read.listing, read.functions, settings);
        GeneratedBlocks blocks =
            buildBlocks(read.listing, plan, settings, stamp, [](const JalrLine&) { return true; });
        (void)writeFiles(basFiles(blocks, plan, settings, "/"), settings.outputFolder, "/", writer);
    }
    benchmark::DoNotOptimize(writer.written());
    state.counters["functions"] = static_cast<double>(read.functions.size());
    state.SetComplexityN(static_cast<benchmark::IterationCount>(lines));
}
BENCHMARK(BM_ConvertAllFunctions)
    ->RangeMultiplier(2)
    ->Range(62500, 500000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
