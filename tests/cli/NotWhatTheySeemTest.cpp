// Listings and output folders that are not what they seem: a listing cut
// while it was written, a word whose text says something else, names that
// would drive the terminal, and a FIFO where a .bas file goes.

#include "CliProcess.h"
#include "GeneratedListing.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// `cut`'s second line is `line`; `add` follows whole.
std::string listingCutAt(const std::string& line) {
    return kListingHead + "9d000000 <cut>:\r\n9d000000:\t24420001 \taddiu\tv0,v0,1\r\n" + line +
           "\r\n\r\n" + listedFunction("add", 0x9d000010, 3);
}

TEST(CutListing, AFunctionWithoutItsWholeWordsIsNotWrittenAndTheRunFails) {
    for (const std::string& line :
         {std::string("9d000004:\t0"), std::string("9d000004:\t0085102g \taddu\tv0,a0,a1")}) {
        SCOPED_TRACE(line);
        TempDir work;
        writeBytes(work.file("in.dis"), listingCutAt(line));
        fs::create_directory(work.file("out"));

        const CliResult each = runTravonixCli({"-o", "out", "in.dis"}, work.path());
        EXPECT_EQ(each.exitCode, 1);
        EXPECT_NE(each.err.find("Function cut: line 9 of the listing"), std::string::npos)
            << each.err;
        EXPECT_EQ(filesIn(work.file("out")), std::vector<std::string>{"add.bas"});

        const CliResult merged =
            runTravonixCli({"-o", "merged", "-m", "merge", "-n", "Blk", "in.dis"}, work.path());
        EXPECT_EQ(merged.exitCode, 1);
        EXPECT_NE(merged.err.find("line 9"), std::string::npos) << merged.err;
        EXPECT_FALSE(fs::exists(work.file("merged/Blk.bas"))) << "a block short of words";
    }
}

TEST(WordOverText, AJalShownAsNopIsRewrittenReportedAndChecked) {
    TempDir work;
    // A call to `far` 4 MiB away, whose text was edited to say nop, and one
    // to `near` that the branch reaches.
    writeBytes(work.file("in.dis"), kListingHead +
                                        "9d000000 <f>:\r\n9d000000:\t0f500000 \tnop\r\n"
                                        "9d000004:\t00000000 \tnop\r\n9d000008:\t0f400008 \tnop\r\n"
                                        "9d00000c:\t00000000 \tnop\r\n\r\n" +
                                        listedFunction("near", 0x9d000020, 2));
    const CliResult check = runTravonixCli({"--check", "in.dis"}, work.path());
    EXPECT_EQ(check.exitCode, 4);
    EXPECT_NE(check.out.find("f\t9d000000\tout-of-reach"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("jal (word 0f500000, shown as \"nop\") to 9d400000"),
              std::string::npos)
        << check.out;
    EXPECT_NE(check.err.find("The listing's line at 9d000008 says \"nop\" but its word 0f400008 "
                             "is a jal to 9d000020"),
              std::string::npos)
        << check.err;

    const CliResult listing = runTravonixCli({"--print-listing", "in.dis"}, work.path());
    EXPECT_NE(listing.out.find("9d000008:\t04110005\tbal\t9d000020\n"), std::string::npos)
        << listing.out;
}

TEST(TerminalNames, ControlCharactersInNamesAreShownEscaped) {
    TempDir work;
    const std::string hostile = "evil\x1b]0;owned\x07\x1b[2J";
    writeBytes(work.file("in.dis"), kListingHead + listedFunction(hostile, 0x9d000000, 2) +
                                        listedFunction("ok\xc2\x9b"
                                                       "31m",
                                                       0x9d000010, 2));
    const CliResult list = runTravonixCli({"--list", "in.dis"}, work.path());
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "0\tevil\\x1B]0;owned\\x07\\x1B[2J\n0\tok\\xC2\\x9B31m\n");

    // The refusal of the name as a file name is a warning on stderr, and the
    // merged file's comment names the routine escaped as well.
    const CliResult each = runTravonixCli({"-o", ".", "in.dis"}, work.path());
    EXPECT_EQ(each.err.find('\x1b'), std::string::npos) << each.err;
    const CliResult merged =
        runTravonixCli({"-o", ".", "-m", "merge", "-n", "Blk", "in.dis"}, work.path());
    EXPECT_EQ(merged.exitCode, 0) << merged.err;
    const std::string bas = readWholeFile(work.file("Blk.bas"));
    EXPECT_EQ(bas.find('\x1b'), std::string::npos);
    EXPECT_NE(bas.find("'ok\\xC2\\x9B31m\r\n"), std::string::npos) << bas;
}

TEST(NotARegularFile, AFifoWhereABasFileGoesIsRefusedAndTheOthersAreWritten) {
    TempDir work;
    writeBytes(work.file("in.dis"), kListingHead + listedFunction("one", 0x9d000000, 2) +
                                        listedFunction("two", 0x9d000010, 2));
    fs::create_directory(work.file("out"));
    ASSERT_EQ(::mkfifo(work.file("out/one.bas").c_str(), 0600), 0);
    fs::create_symlink("one.bas", work.file("out/two.bas"));

    const CliResult r = runTravonixCli({"-o", "out", "in.dis"}, work.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("one.bas"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("FIFO"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_fifo(work.file("out/one.bas")));
    // The link is replaced by the file, never written through to the FIFO.
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(work.file("out/two.bas"))));
    EXPECT_TRUE(readWholeFile(work.file("out/two.bas")).ends_with("End CFunction\r\n"));
}

TEST(ByteNames, AListingWhoseNameIsNotUtf8IsRead) {
    TempDir work;
    writeBytes(work.file("caf\xe9.dis"), kListingHead + listedFunction("add", 0x9d000000, 2));
    const CliResult r = runTravonixCli({"--list", "caf\xe9.dis"}, work.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0\tadd\n");
}

} // namespace
} // namespace travonix::test
