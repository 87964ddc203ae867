// A run killed at any moment leaves every .bas either as it was or complete.
// The temporary file it was writing when killed cannot be removed by it; the
// next run into the folder removes it.

#include "CliProcess.h"
#include "GeneratedListing.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <thread>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>; // name -> bytes
using Clock = std::chrono::steady_clock;

// Two builds of the same listing differ in their stamp's date only.
const std::map<std::string, std::string> kFirstBuild = {{"SOURCE_DATE_EPOCH", "1796893507"}};
const std::map<std::string, std::string> kSecondBuild = {{"SOURCE_DATE_EPOCH", "1796979907"}};

Files filesIn(const std::string& folder) {
    Files files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = readWholeFile(entry.path().string());
    return files;
}

bool isTemporaryName(const std::string& name) {
    static const std::regex pattern(R"(\.travonix-[0-9a-f]{8}\.tmp)");
    return std::regex_match(name, pattern);
}

// A seed from the environment replays a failed run's kill moments.
unsigned seedForThisRun() {
    if (const char* given = std::getenv("TRAVONIX_TEST_SEED"))
        return static_cast<unsigned>(std::strtoul(given, nullptr, 10));
    return std::random_device{}();
}

struct Mode {
    const char* name;
    std::vector<std::string> arguments;
    int functions;
};

void PrintTo(const Mode& mode, std::ostream* os) {
    *os << mode.name;
}

class KilledRun : public testing::TestWithParam<Mode> {};

TEST_P(KilledRun, LeavesEveryFileAsItWasOrCompleteAndTheNextRunTidiesUp) {
    const Mode& mode = GetParam();
    TempDir work;
    std::ofstream(work.file("in.dis"), std::ios::binary) << manyFunctions(mode.functions);
    std::vector<std::string> arguments = mode.arguments;
    arguments.insert(arguments.end(), {"-o", "out", "../in.dis"});

    // The folder holds the first build; the second replaces it whole, and the
    // time that takes spreads the moments of the kills. The path written into
    // each file ("out/...") is the same in every run.
    fs::create_directories(work.file("run/out"));
    const auto build = [&](const std::map<std::string, std::string>& env) {
        const CliResult r = runTravonixCli(arguments, work.file("run"), env);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return filesIn(work.file("run/out"));
    };
    const Files first = build(kFirstBuild);
    const Clock::time_point start = Clock::now();
    const Files second = build(kSecondBuild);
    const auto runTime =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        ASSERT_TRUE(second.contains(name)) << name;
        ASSERT_NE(bytes, second.at(name)) << name << ": the two builds must differ";
    }

    // Runs alternate between the builds, so each is killed while replacing
    // files of the other (or of a mix that a kill before it left).
    const unsigned seed = seedForThisRun();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, runTime.count());
    std::set<std::string> leftovers;
    for (int run = 0; run < 10; ++run) {
        const auto delay = std::chrono::microseconds(moment(random));
        SCOPED_TRACE("TRAVONIX_TEST_SEED=" + std::to_string(seed) + ": run " + std::to_string(run) +
                     " killed after " + std::to_string(delay.count()) + " us of a run of about " +
                     std::to_string(runTime.count()) + " us");
        long missing = static_cast<long>(first.size());
        {
            CliChild child(arguments, work.file("run"), run % 2 == 0 ? kFirstBuild : kSecondBuild);
            std::this_thread::sleep_for(delay);
            child.kill();
            (void)child.wait();
        }
        std::vector<std::string> broken;
        for (const auto& [name, bytes] : filesIn(work.file("run/out"))) {
            if (isTemporaryName(name)) {
                leftovers.insert(name); // its writer is dead; the next run removes it
                continue;
            }
            if (!first.contains(name)) {
                broken.push_back(name + " (no build writes it)");
                continue;
            }
            --missing;
            if (bytes != first.at(name) && bytes != second.at(name))
                broken.push_back(name + " (" + std::to_string(bytes.size()) + " bytes)");
        }
        EXPECT_EQ(missing, 0) << "files gone";
        EXPECT_TRUE(broken.empty())
            << broken.size() << " files neither build whole, as " << broken.front();
    }
    // How many kills came while a file was being written.
    RecordProperty("temporaryFilesLeft", static_cast<int>(leftovers.size()));

    // A run to its end leaves exactly the build it made.
    const CliResult last = runTravonixCli(arguments, work.file("run"), kSecondBuild);
    EXPECT_EQ(last.exitCode, 0) << last.err;
    const Files after = filesIn(work.file("run/out"));
    std::vector<std::string> wrong;
    for (const auto& [name, bytes] : after)
        if (!second.contains(name) || bytes != second.at(name))
            wrong.push_back(name);
    EXPECT_EQ(after.size(), second.size());
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " files not of the last build, as "
                               << wrong.front();
}

INSTANTIATE_TEST_SUITE_P(Modes, KilledRun,
                         testing::Values(Mode{"individual", {"-m", "individual"}, 1000},
                                         Mode{"merge", {"-m", "merge", "-n", "All"}, 40000}),
                         [](const testing::TestParamInfo<Mode>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace travonix::test
