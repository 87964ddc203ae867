// Names come from the ELF's symbols: a hostile or unlucky one must never pick
// where a file goes, and two functions of one name must each keep their body.
// The fixture `hostile` is a real program whose symbols objcopy renamed.

#include "CliProcess.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

const std::string kLatinName = "caf\xe9";

// Every file under `root`, as paths relative to it.
std::set<std::string> filesUnder(const std::string& root) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.insert(fs::relative(entry.path(), root).string());
    return files;
}

// The word objdump printed at an address of the fixture listing.
std::string wordAt(const std::string& address) {
    static const std::string listing = readWholeFile(fixturePath("hostile.dis"));
    const std::regex line(address + ":\\t([0-9a-f]{8}) ");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(listing, match, line)) << address;
    return match.size() > 1 ? match[1].str() : std::string("?");
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class HostileNames : public ::testing::Test {
  protected:
    TempDir work;
    // Two levels down, so "../../escaped" would land in the work folder.
    std::string out = work.file("a/b/out");

    void SetUp() override { fs::create_directories(out); }
    CliResult convert(std::vector<std::string> options) {
        options.insert(options.end(), {"-o", out, fixturePath("hostile.dis")});
        return runTravonixCli(options, work.path());
    }
    std::string outputFile(const std::string& name) { return readWholeFile(out + "/" + name); }
};

TEST_F(HostileNames, PlainNamesAreWrittenInsideTheFolderAndTheOthersAreRefusedByName) {
    const CliResult r = convert({});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const std::set<std::string> expected = {
        "a/b/out/scale.bas",
        "a/b/out/part1_entry.bas",
        "a/b/out/do_jalr_free.bas",
        "a/b/out/frees.bas",
        "a/b/out/scale_2.bas",
        "a/b/out/part2_entry.bas",
        "a/b/out/" + kLatinName + ".bas",
    };
    EXPECT_EQ(filesUnder(work.path()), expected);
    for (const char* refused : {"../../escaped.bas", "CON.bas", "set:x.bas"})
        EXPECT_TRUE(contains(r.err, refused)) << refused << " not reported in:\n" << r.err;
    // <do_jalr_free> is a symbol, not a register jump: no question, no abandon.
    EXPECT_FALSE(contains(r.err, "JALR")) << r.err;
    EXPECT_FALSE(contains(r.out, "escaped")) << r.out;
}

TEST_F(HostileNames, TwoStaticHelpersOfOneNameKeepTheirOwnBodies) {
    const CliResult r = convert({"-f", "scale"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string first = outputFile("scale.bas");
    const std::string second = outputFile("scale_2.bas");
    EXPECT_TRUE(contains(first, "CFunction scale\r\n"));
    EXPECT_TRUE(contains(second, "CFunction scale2\r\n"));
    // The two bodies differ in their last word (the constant added).
    EXPECT_TRUE(contains(first, wordAt("9d00000c")));
    EXPECT_FALSE(contains(first, wordAt("9d00008c")));
    EXPECT_TRUE(contains(second, wordAt("9d00008c")));
    EXPECT_FALSE(contains(second, wordAt("9d00000c")));
    EXPECT_TRUE(contains(r.err, "scale_2.bas")) << r.err;
}

TEST_F(HostileNames, SingleFileModeKeepsBothBlocksAndReportsTheClash) {
    const CliResult r = convert({"-m", "single", "-f", "scale", "-f", "part2_entry"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string file = outputFile("scale.bas");
    EXPECT_TRUE(contains(file, wordAt("9d00000c")));
    EXPECT_TRUE(contains(file, wordAt("9d00008c")));
    EXPECT_TRUE(contains(r.err, "Two functions are named scale")) << r.err;
}

TEST_F(HostileNames, MergedBlockHoldsEveryBodyOnce) {
    const CliResult r = convert({"-m", "merge", "-n", "Blk"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(filesUnder(out), std::set<std::string>{"Blk.bas"});
    const std::string file = outputFile("Blk.bas");
    EXPECT_TRUE(contains(file, "CFunction Blk\r\n"));
    // Both scale bodies, each once, in listing order.
    std::size_t previous = 0;
    for (const char* address : {"9d00000c", "9d00008c"}) {
        const std::string word = wordAt(address);
        const std::size_t at = file.find(word);
        EXPECT_NE(at, std::string::npos) << address;
        EXPECT_EQ(file.find(word, at + 1), std::string::npos) << address << " twice";
        EXPECT_GT(at, previous) << address;
        previous = at;
    }
    EXPECT_TRUE(contains(r.out, "Blk.bas")) << r.out;
}

TEST_F(HostileNames, AMergedNameThatIsAPathIsRefused) {
    for (const char* name : {"../../x", "..", "sub/x", "LPT1.txt"}) {
        const CliResult r = convert({"-m", "merge", "-n", name});
        EXPECT_EQ(r.exitCode, 1) << name << ": " << r.err;
        EXPECT_TRUE(filesUnder(work.path()).empty()) << name;
        EXPECT_TRUE(contains(r.err, name)) << r.err;
        EXPECT_FALSE(contains(r.out, "written to disk")) << r.out;
    }
}

TEST_F(HostileNames, ANameThatIsNotUtf8IsSelectedAndWrittenWithItsOwnBytes) {
    const CliResult r = convert({"-f", kLatinName});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(filesUnder(out), std::set<std::string>{kLatinName + ".bas"});
    EXPECT_TRUE(contains(outputFile(kLatinName + ".bas"), "CFunction " + kLatinName + "\r\n"));
}

TEST(CliUsage, AnEmptyOutputFolderOrListingNameIsBadUsage) {
    TempDir work;
    const std::vector<std::vector<std::string>> cases = {
        {"-o", "", fixturePath("calls.dis")},
        {"--output=", fixturePath("calls.dis")},
        {"--dis", "", fixturePath("calls.elf")},
    };
    for (const auto& args : cases) {
        const CliResult r = runTravonixCli(args, work.path());
        EXPECT_EQ(r.exitCode, 2) << args[0] << ": " << r.err;
        EXPECT_TRUE(filesUnder(work.path()).empty());
    }
}

} // namespace
} // namespace travonix::test
