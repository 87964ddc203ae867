// --position-independent on the command line: merge mode only, the findings
// it fixes are gone, what it cannot fix stays, and the cost is reported.

#include "CliProcess.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

TEST(CliPositionIndependent, IsRefusedOutsideMergeMode) {
    TempDir work;
    for (const char* mode : {"individual", "single"}) {
        SCOPED_TRACE(mode);
        const CliResult r = runTravonixCli(
            {"--position-independent", "-m", mode, "-o", ".", examplePath("demo.dis")},
            work.path());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find("use it with --mode merge"), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_empty(work.path()));
    }
}

TEST(CliPositionIndependent, CheckKeepsOnlyWhatTheReLayingCannotFix) {
    TempDir work;
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::vector<std::string> starts; // function TAB address TAB kind of each line
    };
    const Case cases[] = {
        // Without the option the table's address is a finding (see CliCheckTest).
        {{"-n", "Demo", examplePath("demo.dis")}, 0, {}},
        {{"-n", "Relay", "--yes", fixturePath("../execution/relay/relay-O2.dis")}, 0, {}},
        // main's variables in .data: no block carries them.
        {{"-n", "Blk", "--main", fixturePath("calls.dis")},
         4,
         {"main\t9d0001c0\tunemitted-section\t", "main\t9d0001c8\tunemitted-section\t"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--check", "--position-independent", "-m", "merge", "-o",
                                         "."};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(args.back());
        const CliResult r = runTravonixCli(args, work.path());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        const std::vector<std::string> lines = linesOf(r.out);
        ASSERT_EQ(lines.size(), c.starts.size()) << r.out;
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(lines[i].starts_with(c.starts[i])) << lines[i];
        EXPECT_TRUE(fs::is_empty(work.path()));
    }
}

TEST(CliPositionIndependent, ReportsTheWordsBeforeAndAfter) {
    TempDir plain;
    TempDir relaid;
    const std::vector<std::string> args = {
        "-m", "merge", "-n", "Demo", "-o", ".", examplePath("demo.dis")};
    const CliResult without = runTravonixCli(args, plain.path());
    std::vector<std::string> withArgs = args;
    withArgs.insert(withArgs.begin(), "--position-independent");
    const CliResult with = runTravonixCli(withArgs, relaid.path());
    ASSERT_EQ(without.exitCode, 0) << without.err;
    ASSERT_EQ(with.exitCode, 0) << with.err;
    EXPECT_EQ(without.err.find("--position-independent"), std::string::npos);
    std::smatch words;
    const std::regex cost("--position-independent: ([0-9]+) words before, ([0-9]+) after");
    ASSERT_TRUE(std::regex_search(with.err, words, cost)) << with.err;
    EXPECT_GT(std::stoi(words[2]), std::stoi(words[1]));
    EXPECT_NE(without.err.find("absolute-address"), std::string::npos);
    EXPECT_EQ(with.err.find("absolute-address"), std::string::npos) << with.err;
    EXPECT_NE(readWholeFile((fs::path(plain.path()) / "Demo.bas").string()),
              readWholeFile((fs::path(relaid.path()) / "Demo.bas").string()));
}

} // namespace
} // namespace travonix::test
