// The relocation check on the command line: --check reports without writing,
// a conversion warns and writes, --strict fails on any finding.

#include "CliProcess.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

const std::regex kFindingLine(
    "[^\t]+\t[0-9a-f]{8}\t(absolute-address|unemitted-section|gp-relative|outside-call|"
    "out-of-reach|indirect-jump|name-clash)\t[^\t]+");

TEST(CliCheck, ReportsOneLinePerFindingAndWritesNothing) {
    TempDir work;
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::vector<std::string> starts; // function TAB address TAB kind of each line
    };
    const std::string demo = examplePath("demo.dis");
    const Case cases[] = {
        {{"--check", "-o", ".", fixturePath("reloc/clean.dis")}, 0, {}},
        {{"--check", "-o", ".", demo},
         4,
         {"vector_length\t9d000080\toutside-call\t", "crc8_buffer\t9d0000a8\tabsolute-address\t"}},
        // Merged with its callee, vector_length's call stays inside the block.
        {{"--check", "-m", "merge", "-n", "Demo", "-o", ".", demo},
         4,
         {"crc8_buffer\t9d0000a8\tabsolute-address\t"}},
        // Linked by Debian's default script: addresses without leading zeros.
        {{"--check", "-o", ".", fixturePath("reloc/mutual-default.dis")},
         4,
         {"is_even_count\t00400148\toutside-call\t", "is_odd_count\t00400184\toutside-call\t"}},
        {{"--check", "-m", "merge", "-n", "Blk", "--main", "-o", ".", fixturePath("calls.dis")},
         4,
         {"crc_step\t9d000010\tabsolute-address\t", "scale_reading\t9d0000c8\tabsolute-address\t",
          "main\t9d0001c0\tunemitted-section\t", "main\t9d0001c8\tunemitted-section\t"}},
    };
    for (const Case& c : cases) {
        const CliResult r = runTravonixCli(c.args, work.path());
        SCOPED_TRACE(c.args[c.args.size() - 1]);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        const std::vector<std::string> lines = linesOf(r.out);
        ASSERT_EQ(lines.size(), c.starts.size()) << r.out;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].starts_with(c.starts[i])) << lines[i];
            EXPECT_TRUE(std::regex_match(lines[i], kFindingLine)) << lines[i];
        }
        EXPECT_TRUE(fs::is_empty(work.path()));
    }
}

TEST(CliCheck, AConversionWarnsAfterItsMessagesAndStrictWritesNothing) {
    TempDir work;
    const std::string listing = fixturePath("farcall.dis");
    const CliResult warned = runTravonixCli({"-o", ".", listing}, work.path());
    EXPECT_EQ(warned.exitCode, 0) << warned.err;
    EXPECT_FALSE(fs::is_empty(work.path()));
    const std::size_t unconverted = warned.err.find("unconverted JAL/J instructions");
    const std::size_t finding = warned.err.find("\tout-of-reach\t");
    ASSERT_NE(unconverted, std::string::npos) << warned.err;
    ASSERT_NE(finding, std::string::npos) << warned.err;
    EXPECT_LT(unconverted, finding) << "the findings come after the existing messages";

    TempDir strictWork;
    const CliResult strict = runTravonixCli({"--strict", "-o", ".", listing}, strictWork.path());
    EXPECT_EQ(strict.exitCode, 4);
    EXPECT_TRUE(fs::is_empty(strictWork.path()));
    EXPECT_NE(strict.err.find("\tout-of-reach\t"), std::string::npos) << strict.err;
}

TEST(CliCheck, StrictFailsOnACallThatLeavesItsBlockAtDebiansDefaultAddress) {
    TempDir work;
    const CliResult strict = runTravonixCli(
        {"--strict", "-o", ".", fixturePath("reloc/mutual-default.dis")}, work.path());
    EXPECT_EQ(strict.exitCode, 4) << strict.err;
    EXPECT_TRUE(fs::is_empty(work.path()));
    EXPECT_NE(strict.err.find("is_even_count\t00400148\toutside-call\t"), std::string::npos)
        << strict.err;
}

} // namespace
} // namespace travonix::test
