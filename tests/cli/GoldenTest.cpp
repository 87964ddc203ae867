// Byte-for-byte output of the command-line tool on the real fixtures, in all
// three output modes. The expected files live in tests/cli/golden/ beside the
// listings they come from, so every change of output shows up in a diff.
//
// To regenerate them after an intended change:
//   TRAVONIX_UPDATE_GOLDEN=1 ctest --test-dir build -R Golden
// then review `git diff tests/cli/golden`.

#include "CliProcess.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

struct GoldenCase {
    const char* listing; // path below the repository's tests/fixtures or examples
    const char* name;    // golden folder
    std::vector<std::string> options;
};

// ctest shows the case by its golden folder, not as raw bytes.
void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

std::string listingPath(const std::string& listing) {
    return listing.rfind("examples/", 0) == 0 ? examplePath(listing.substr(9))
                                              : fixturePath(listing);
}

std::string goldenDir(const std::string& name) {
    return std::string(TRAVONIX_CLI_GOLDEN_DIR) + "/" + name;
}

std::map<std::string, std::string> filesIn(const fs::path& dir) {
    std::map<std::string, std::string> files;
    if (!fs::exists(dir))
        return files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = readWholeFile(entry.path().string());
    return files;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, OutputMatchesTheCommittedFiles) {
    const GoldenCase& c = GetParam();
    TempDir work;
    fs::create_directory(fs::path(work.path()) / "out");
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-o", "out", listingPath(c.listing)});
    CliResult result = runTravonixCli(args, work.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;

    std::map<std::string, std::string> actual = filesIn(fs::path(work.path()) / "out");
    actual["stdout.txt"] = result.out;
    actual["stderr.txt"] = result.err;

    const fs::path expectedDir = goldenDir(c.name);
    if (std::getenv("TRAVONIX_UPDATE_GOLDEN") != nullptr) {
        fs::remove_all(expectedDir);
        fs::create_directories(expectedDir);
        for (const auto& [name, bytes] : actual)
            writeFile(expectedDir / name, bytes);
        GTEST_SKIP() << "golden files written to " << expectedDir;
    }
    std::map<std::string, std::string> expected = filesIn(expectedDir);
    ASSERT_FALSE(expected.empty()) << "no golden files in " << expectedDir;
    for (const auto& [name, bytes] : expected) {
        auto it = actual.find(name);
        ASSERT_NE(it, actual.end()) << name << " was not written";
        EXPECT_EQ(it->second, bytes) << "differs: " << name;
    }
    for (const auto& [name, bytes] : actual)
        EXPECT_TRUE(expected.count(name)) << "unexpected file: " << name;
}

const GoldenCase kCases[] = {
    {"calls.dis", "calls-individual", {}},
    {"calls.dis", "calls-single", {"-m", "single", "--save-disasm"}},
    {"calls.dis", "calls-merge", {"-m", "merge", "-n", "My_Blk", "--main"}},
    {"calls-noz.dis", "calls-noz-merge", {"-m", "merge", "-n", "Blk", "--main"}},
    {"gaps.dis", "gaps-single", {"-m", "single"}},
    {"gaps-noz.dis", "gaps-noz-single", {"-m", "single", "--save-disasm"}},
    {"longnames.dis", "longnames-merge", {"-m", "merge", "-n", "Long", "--main"}},
    {"jalr.dis", "jalr-individual", {"--yes"}},
    {"sysfunc.dis", "sysfunc-individual", {"--save-disasm"}},
    {"farcall-noz.dis", "farcall-noz-individual", {}},
    {"examples/demo.dis", "demo-individual", {}},
    {"examples/demo.dis", "demo-single", {"-m", "single", "--save-disasm"}},
    {"gaps-noz.dis", "gaps-noz-print-main", {"--print-listing", "--main"}},
    {"calls.dis", "calls-print-all-funcs", {"--print-listing", "--all-funcs"}},
    {"calls-noz.dis", "calls-noz-list-all-funcs", {"--list", "--all-funcs"}},
    {"farcall-noz.dis", "farcall-noz-print", {"--print-listing"}},
    {"examples/demo.dis", "demo-merge", {"-m", "merge", "-n", "Demo", "--main"}},
};

INSTANTIATE_TEST_SUITE_P(Fixtures, Golden, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n)
        if (ch == '-')
            ch = '_';
    return n;
});

} // namespace
} // namespace travonix::test
