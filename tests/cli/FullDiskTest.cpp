// A disk that fills up during a run: every .bas is either as it was or
// complete, the reason is on stderr, the run exits 1, and stdout names only
// the files that were written.

#include "CliProcess.h"
#include "support/Fixtures.h"
#include "support/SmallDisk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(CliFullDisk, FilesAreWholeOrUntouchedAndTheRunFails) {
    SmallDisk disk("64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::string existing = disk.file("my_crc32.bas");
    { std::ofstream(existing, std::ios::binary) << "'\r\n' an earlier good build\r\n"; }
    const std::string before = readWholeFile(existing);
    // Leave room for a few blocks only.
    {
        std::ofstream filler(disk.file("filler"), std::ios::binary);
        filler << std::string(58 * 1024, 'x');
    }

    TempDir work;
    const CliResult r =
        runTravonixCli({"-o", disk.path(), fixturePath("farcall.dis")}, work.path());
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;

    for (const auto& entry : fs::directory_iterator(disk.path())) {
        const std::string name = entry.path().filename().string();
        ASSERT_FALSE(name.starts_with(".travonix-")) << "temporary file left: " << name;
        if (name == "filler")
            continue;
        const std::string text = readWholeFile(entry.path().string());
        if (entry.path() == existing && text == before)
            continue;
        EXPECT_TRUE(endsWith(text, "End CFunction\r\n")) << name << " is not complete";
        EXPECT_NE(r.out.find(name), std::string::npos) << name << " written but not named";
    }
    EXPECT_EQ(r.out.find("flash_gap.bas"), std::string::npos) << "a 100 KB block cannot fit";
}

} // namespace
} // namespace travonix::test
