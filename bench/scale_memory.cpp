// Peak memory of one read and merge run over every function of the scale
// listing, against the listing's size. A process of its own, so that its
// high-water mark holds this run only: nothing of the benchmark library or of
// other inputs.
//   travonix_scale_memory [FUNCTIONS]     (default 20000)
// Prints one JSON object; exits 1 when the run could not be made or failed.
#include "QuietUserInterface.h"
#include "ScaleRun.h"
#include "platform/LocalEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace travonix;

// A "VmHWM:" or "VmRSS:" figure of /proc/self/status in KiB, -1 without one.
long statusKiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const int functions = argc > 1 ? std::atoi(argv[1]) : 20000;
    const bench::ScaleInput& input = bench::scaleInput(functions);
    if (!input.error.empty()) {
        std::fprintf(stderr, "travonix_scale_memory: %s\n", input.error.c_str());
        return 1;
    }
    const long start = statusKiB("VmHWM");
    std::size_t listed = 0;
    std::uintmax_t merged = 0;
    std::string failure;
    {
        bench::TemporaryFolder out;
        bench::QuietUserInterface ui;
        LocalEnvironment env;
        ProcessRunner runner;
        Orchestrator run(ui, env, runner);
        bench::setUpMergeRun(run, input.listing, out.path());
        run.readListing();
        run.makeCFunctions();
        listed = run.session().functions.size();
        merged = bench::mergedFileBytes(out.path());
        failure = bench::firstError(run.session());
    }
    const long peak = statusKiB("VmHWM");
    if (!failure.empty() || merged == 0 || start < 0 || peak < 0) {
        std::fprintf(stderr, "travonix_scale_memory: the merge run failed: %s\n", failure.c_str());
        return 1;
    }
    const double listing = static_cast<double>(input.listingBytes);
    std::printf("{\"functions\": %d, \"listed\": %zu, \"listing_bytes\": %ju, "
                "\"merged_bytes\": %ju, \"start_hwm_kib\": %ld, \"peak_hwm_kib\": %ld, "
                "\"peak_to_listing\": %.3f, \"growth_to_listing\": %.3f}\n",
                functions, listed, input.listingBytes, merged, start, peak,
                static_cast<double>(peak) * 1024.0 / listing,
                static_cast<double>(peak - start) * 1024.0 / listing);
    return 0;
}
