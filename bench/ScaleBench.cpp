// The whole tool on a real program of 20,000 functions (about 820,000
// listing lines, 28 MB), each figure next to the plainest code doing the same
// I/O: bench/scale/ratios.py turns the pairs into ratios. Every timed run reads
// and writes real files, as the window and the command-line tool do.
#include "QuietUserInterface.h"
#include "ScaleRun.h"
#include "check/ConversionCheck.h"
#include "core/Conversion.h"
#include "core/JumpRewriter.h"
#include "core/ListingReader.h"
#include "platform/DisassemblyCommand.h"
#include "platform/LocalEnvironment.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <sys/resource.h>

namespace {

using namespace travonix;
using bench::QuietUserInterface;
using bench::ScaleInput;
using bench::TemporaryFolder;

constexpr int kSmall = 2000;
constexpr int kLarge = 20000;

// The input for the benchmark's argument, or nullptr after marking the
// benchmark skipped (no cross toolchain, say).
const ScaleInput* inputFor(benchmark::State& state) {
    const ScaleInput& input = bench::scaleInput(static_cast<int>(state.range(0)));
    if (!input.error.empty()) {
        state.SkipWithError(input.error.c_str());
        return nullptr;
    }
    return &input;
}

// Every routine and every table is listed; main is left out.
std::size_t expectedFunctions(const benchmark::State& state) {
    return 2 * static_cast<std::size_t>(state.range(0));
}

void reportListing(benchmark::State& state, const ScaleInput& input) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.listingBytes));
    state.counters["listing_MB"] = static_cast<double>(input.listingBytes) / 1e6;
}

// Page faults of this process so far: a run whose buffers are mapped afresh
// each time pays for every page again.
long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void reportFaults(benchmark::State& state, long before) {
    state.counters["faults_per_run"] =
        static_cast<double>(minorFaults() - before) / static_cast<double>(state.iterations());
}

std::size_t basFilesIn(const std::string& folder, std::uintmax_t& bytes) {
    std::size_t files = 0;
    bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".bas") {
            ++files;
            bytes += entry.file_size();
        }
    }
    return files;
}

// Baseline A: the listing's lines read into memory the plainest way.
void BM_Scale_GetlineBaseline(benchmark::State& state) {
    const ScaleInput* input = inputFor(state);
    if (input == nullptr)
        return;
    std::size_t lines = 0;
    const long faults = minorFaults();
    for (auto _ : state) {
        std::ifstream in(input->listing, std::ios::binary);
        std::vector<std::string> text;
        std::string line;
        while (std::getline(in, line))
            text.push_back(line);
        lines = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    reportFaults(state, faults);
    state.counters["lines"] = static_cast<double>(lines);
    reportListing(state, *input);
}

// Reading the listing from disk, rewriting the jumps and one merge run over
// every function, the merged file written: what a user's click on Make after
// loading a listing costs.
void BM_Scale_ReadRewriteMerge(benchmark::State& state) {
    const ScaleInput* input = inputFor(state);
    if (input == nullptr)
        return;
    TemporaryFolder out;
    std::size_t functions = 0;
    std::string failure;
    const long faults = minorFaults();
    for (auto _ : state) {
        QuietUserInterface ui;
        LocalEnvironment env;
        ProcessRunner runner;
        Orchestrator run(ui, env, runner);
        bench::setUpMergeRun(run, input->listing, out.path());
        run.readListing();
        run.makeCFunctions();
        functions = run.session().functions.size();
        failure = bench::firstError(run.session());
    }
    if (!failure.empty() || functions != expectedFunctions(state) ||
        bench::mergedFileBytes(out.path()) == 0)
        state.SkipWithError(("merge run incomplete: " + failure).c_str());
    reportFaults(state, faults);
    state.counters["functions"] = static_cast<double>(functions);
    reportListing(state, *input);
}

// Merge mode over every function into `folder`, as the steps take it.
ConversionSettings mergeAllInto(const std::string& folder) {
    ConversionSettings settings;
    settings.mode = OutputMode::Merged;
    settings.mergedName = bench::kMergedName;
    settings.outputFolder = folder;
    settings.selectAll = true;
    return settings;
}

// The listing file read from disk and its jumps rewritten, as a make run
// finds it.
ReadResult readAndRewrite(LocalEnvironment& env, const std::string& listing) {
    std::optional<std::string> text = env.readFile(listing);
    ReadResult read = readListing(std::move(text).value_or(""), {false, true, false});
    (void)rewriteJumps(read.listing);
    return read;
}

// The same run through the conversion steps alone (read, rewrite, plan,
// build, write), without the relocation check that the window and the
// command line run before writing: what the conversion itself costs.
void BM_Scale_ReadRewriteMergeSteps(benchmark::State& state) {
    const ScaleInput* input = inputFor(state);
    if (input == nullptr)
        return;
    TemporaryFolder out;
    LocalEnvironment env;
    std::size_t functions = 0;
    bool written = false;
    for (auto _ : state) {
        const ConversionSettings settings = mergeAllInto(out.path());
        ReadResult read = readAndRewrite(env, input->listing);
        const ConversionPlan plan = planConversion(read.listing, read.functions, settings);
        GeneratedBlocks blocks =
            buildBlocks(read.listing, plan, settings, {env.now(), env.userName()},
                        [](const JalrLine&) { return true; });
        const std::vector<OutputFile> files = basFiles(blocks, plan, settings, "/");
        written = writeFiles(files, settings.outputFolder, "/", env).writtenNames.size() == 1;
        functions = read.functions.size();
    }
    if (!written || functions != expectedFunctions(state))
        state.SkipWithError("merge run incomplete");
    state.counters["functions"] = static_cast<double>(functions);
    reportListing(state, *input);
}

// The relocation check alone over the merged block of every function, the
// listing read and planned beforehand: the work the window's merge run does
// beside the build and the writes.
void BM_Scale_RelocationCheck(benchmark::State& state) {
    const ScaleInput* input = inputFor(state);
    if (input == nullptr)
        return;
    LocalEnvironment env;
    const ConversionSettings settings = mergeAllInto("out");
    const ReadResult read = readAndRewrite(env, input->listing);
    const ConversionPlan plan = planConversion(read.listing, read.functions, settings);
    std::size_t findings = 0;
    for (auto _ : state)
        findings = check::checkConversion(read.listing, plan, settings).size();
    if (findings == 0)
        state.SkipWithError("the check found nothing");
    state.counters["findings"] = static_cast<double>(findings);
    reportListing(state, *input);
}

// One .bas file per function, the listing read beforehand: the generation and
// the writing of tens of thousands of small files.
void BM_Scale_IndividualMode(benchmark::State& state) {
    const ScaleInput* input = inputFor(state);
    if (input == nullptr)
        return;
    TemporaryFolder out;
    QuietUserInterface ui;
    LocalEnvironment env;
    ProcessRunner runner;
    Orchestrator run(ui, env, runner);
    bench::setUpIndividualRun(run, input->listing, out.path());
    run.readListing();
    for (auto _ : state)
        run.makeCFunctions();
    std::uintmax_t bytes = 0;
    const std::size_t files = basFilesIn(out.path(), bytes);
    const std::string failure = bench::firstError(run.session());
    if (!failure.empty() || files != expectedFunctions(state))
        state.SkipWithError(("individual run incomplete: " + failure).c_str());
    state.counters["files"] = static_cast<double>(files);
    state.counters["bytes"] = static_cast<double>(bytes);
}

// Keeps what a make run would write instead of writing it.
class CapturingEnvironment : public LocalEnvironment {
  public:
    Outcome writeWhole(const std::string& path, std::string_view bytes) override {
        files.emplace_back(std::filesystem::path(path).filename().string(), std::string(bytes));
        return std::nullopt;
    }
    Outcome writeWhole(const std::string& path, const std::vector<std::string>& parts) override {
        std::string bytes;
        for (const std::string& part : parts)
            bytes += part;
        return writeWhole(path, std::string_view(bytes));
    }
    std::vector<std::pair<std::string, std::string>> files; // name, bytes
};

// Baseline B: the individual run's files, byte for byte, each written with a
// plain std::ofstream.
void BM_Scale_PlainWriteBaseline(benchmark::State& state) {
    const ScaleInput* input = inputFor(state);
    if (input == nullptr)
        return;
    TemporaryFolder out;
    QuietUserInterface ui;
    CapturingEnvironment env;
    ProcessRunner runner;
    Orchestrator run(ui, env, runner);
    bench::setUpIndividualRun(run, input->listing, out.path());
    run.readListing();
    run.makeCFunctions();
    const std::filesystem::path folder = out.path();
    bool written = true;
    for (auto _ : state) {
        for (const auto& [name, bytes] : env.files) {
            std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
            file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            written = written && file.good();
        }
    }
    std::uintmax_t bytes = 0;
    const std::size_t files = basFilesIn(out.path(), bytes);
    if (!written || files != expectedFunctions(state))
        state.SkipWithError("plain writing failed");
    state.counters["files"] = static_cast<double>(files);
    state.counters["bytes"] = static_cast<double>(bytes);
}

void setUpDisassembly(Orchestrator& run, const ScaleInput& input, const std::string& folder) {
    bench::setUpMergeRun(run, (std::filesystem::path(folder) / "scale.dis").string(), folder);
    run.editOptions().elfPath = input.elf;
    run.editOptions().disassemblerCommand = bench::kObjdumpCommand;
}

// Baseline of the ELF run: objdump alone, through the same process runner,
// its output into a file.
void BM_Scale_ObjdumpBaseline(benchmark::State& state) {
    const ScaleInput* input = inputFor(state);
    if (input == nullptr)
        return;
    TemporaryFolder out;
    QuietUserInterface ui;
    LocalEnvironment env;
    ProcessRunner runner;
    Orchestrator run(ui, env, runner);
    setUpDisassembly(run, *input, out.path());
    ProcessResult result;
    for (auto _ : state)
        result = runner.run(disassemblyCommand(run.options(), run.options().listingPath),
                            kMinimizedNoFocus);
    if (result.exitCode != 0)
        state.SkipWithError(("objdump failed: " + result.errorLine).c_str());
}

// From the ELF file to the merged .bas file: objdump into the listing, the
// read with the jump rewriting, and the merge run.
void BM_Scale_ElfEndToEnd(benchmark::State& state) {
    const ScaleInput* input = inputFor(state);
    if (input == nullptr)
        return;
    TemporaryFolder out;
    ProcessRunner runner;
    std::size_t functions = 0;
    std::string failure;
    for (auto _ : state) {
        QuietUserInterface ui;
        LocalEnvironment env;
        Orchestrator run(ui, env, runner);
        setUpDisassembly(run, *input, out.path());
        run.refresh();
        run.makeCFunctions();
        functions = run.session().functions.size();
        failure = bench::firstError(run.session());
    }
    if (!failure.empty() || functions != expectedFunctions(state) ||
        bench::mergedFileBytes(out.path()) == 0)
        state.SkipWithError(("ELF run incomplete: " + failure).c_str());
    state.counters["functions"] = static_cast<double>(functions);
}

// Each run takes from tenths of a second to many seconds; the wall clock is
// what a user waits for, and objdump's time is spent in a child process. The
// median of three repetitions keeps one disturbed run (the machine's cores are
// shared) from deciding a ratio.
void scaleRuns(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(2.0)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(BM_Scale_GetlineBaseline)->Arg(kSmall)->Arg(kLarge)->Apply(scaleRuns);
BENCHMARK(BM_Scale_ReadRewriteMerge)->Arg(kSmall)->Arg(kLarge)->Apply(scaleRuns);
BENCHMARK(BM_Scale_ReadRewriteMergeSteps)->Arg(kSmall)->Arg(kLarge)->Apply(scaleRuns);
BENCHMARK(BM_Scale_RelocationCheck)->Arg(kSmall)->Arg(kLarge)->Apply(scaleRuns);
BENCHMARK(BM_Scale_PlainWriteBaseline)->Arg(kLarge)->Apply(scaleRuns);
BENCHMARK(BM_Scale_IndividualMode)->Arg(kLarge)->Apply(scaleRuns);
BENCHMARK(BM_Scale_ObjdumpBaseline)->Arg(kLarge)->Apply(scaleRuns);
BENCHMARK(BM_Scale_ElfEndToEnd)->Arg(kLarge)->Apply(scaleRuns);

} // namespace
