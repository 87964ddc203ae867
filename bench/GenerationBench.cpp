// A make run must stay linear in the listing's size however many functions
// are selected: every function is found through one index of header lines.
#include "SyntheticListing.h"
#include "cfunction/MakeCommand.h"
#include "listing/Form.h"
#include "listing/ShowDis.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace travonix;

// Answers every box silently and keeps nothing but the listing to read.
class QuietServices : public WindowServices {
  public:
    void messageBox(std::string_view, std::string_view) override {}
    bool askYesNo(std::string_view, std::string_view) override { return true; }
    std::optional<std::string> inputBox(std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }
    bool setClipboardText(std::string_view) override { return true; }
    void setFocus(Control) override {}
    void reportStatus(std::string_view) override {}
    void reportWarning(std::string_view) override {}
};

class MemoryEnvironment : public Environment {
  public:
    explicit MemoryEnvironment(std::string listing) : listing_(std::move(listing)) {}
    bool fileExists(const std::string& path) override { return path == "bench.dis"; }
    std::optional<std::string> readFile(const std::string&) override { return listing_; }
    std::string writeFileWhole(const std::string&, std::string_view bytes) override {
        written_ += bytes.size();
        return {};
    }
    std::optional<std::string> fileModifiedText(const std::string&) override { return "t"; }
    LocalDateTime now() override { return {2026, 12, 10, 9, 5, 7}; }
    std::string userName() override { return "bench"; }
    std::string pathSeparator() override { return "/"; }
    std::uint64_t written() const { return written_; }

  private:
    std::string listing_;
    std::uint64_t written_ = 0;
};

// One run of the make command over every function of a listing of the given
// size, in single-file mode (every block is built, one file is written).
void BM_MakeAllFunctions(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    QuietServices ui;
    MemoryEnvironment env(bench::syntheticListing(lines));
    Form form(ui, env);
    form.options = defaultOptions();
    form.options.DISFileName = "bench.dis";
    form.options.PluginFolderName = "out";
    form.options.SelectAllFuncs = true;
    form.options.IndividualPluginFiles = false;
    form.options.SinglePluginFile = true;
    form.state.chkAutoGeneratePlugin = kUnchecked;
    cmdShowDIS_Click(form);
    for (auto _ : state)
        cmdMakeBas_Click(form);
    benchmark::DoNotOptimize(env.written());
    state.counters["functions"] = static_cast<double>(form.state.funcs.size());
    state.SetComplexityN(static_cast<benchmark::IterationCount>(lines));
}
BENCHMARK(BM_MakeAllFunctions)
    ->RangeMultiplier(2)
    ->Range(62500, 500000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
