#include "platform/FileReplace.h"

#include "support/Fixtures.h"
#include "support/OutcomeTesting.h"
#include "support/SmallDisk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace travonix {
namespace {

namespace fs = std::filesystem;

std::size_t filesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

TEST(FileReplace, WritesNewFilesAndReplacesOldOnesWhole) {
    test::TempDir dir;
    const std::string path = dir.file("out.bas");
    EXPECT_EQ(replaceFileWhole(path, "first"), std::nullopt);
    EXPECT_EQ(test::readWholeFile(path), "first");
    ::chmod(path.c_str(), 0640);
    EXPECT_EQ(replaceFileWhole(path, "second, longer"), std::nullopt);
    EXPECT_EQ(test::readWholeFile(path), "second, longer");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U) << "a replaced file keeps its permissions";
    EXPECT_EQ(filesIn(dir.path()), 1U) << "no temporary file is left";
}

TEST(FileReplace, EachReplacedFileKeepsItsOwnPermissions) {
    test::TempDir dir;
    for (const mode_t mode : {0600U, 0640U, 0644U, 0755U, 0444U, 0660U}) {
        const std::string path = dir.file("mode-" + std::to_string(mode) + ".bas");
        ASSERT_EQ(replaceFileWhole(path, "first"), std::nullopt);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        EXPECT_EQ(replaceFileWhole(path, "second"), std::nullopt);
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_EQ(test::readWholeFile(path), "second");
    }
}

// More parts than one system call takes, some empty, of many sizes.
TEST(FileReplace, ManyPartsAreWrittenInTheirOrder) {
    test::TempDir dir;
    std::vector<std::string> parts;
    std::string whole;
    for (std::size_t k = 0; k < 3000; ++k) {
        parts.push_back(std::string(k % 7 == 0 ? 0 : k % 300, static_cast<char>('a' + k % 26)));
        whole += parts.back();
    }
    const std::string path = dir.file("parts.bas");
    EXPECT_EQ(replaceFileWhole(path, parts), std::nullopt);
    EXPECT_EQ(test::readWholeFile(path), whole);
}

TEST(FileReplace, AFileThatAlreadyHoldsTheBytesIsOnlyTouched) {
    test::TempDir dir;
    const std::string path = dir.file("same.bas");
    ASSERT_EQ(replaceFileWhole(path, "the same text"), std::nullopt);
    const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);

    EXPECT_EQ(replaceFileWhole(path, std::vector<std::string>{"the same ", "text"}), std::nullopt);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_GT(info.st_mtim.tv_sec, 1000000000) << "written again, as far as its time says";
    EXPECT_EQ(test::readWholeFile(path), "the same text");

    // One byte more is a different file.
    EXPECT_EQ(replaceFileWhole(path, "the same text!"), std::nullopt);
    EXPECT_EQ(test::readWholeFile(path), "the same text!");
    EXPECT_EQ(filesIn(dir.path()), 1U);

    // So is one byte changed deep in a large part (compared a piece at a
    // time), of the same size.
    const std::string large(300000, 'w');
    ASSERT_EQ(replaceFileWhole(path, std::vector<std::string>{"head ", large}), std::nullopt);
    std::string changed = large;
    changed[200001] = 'x';
    EXPECT_EQ(replaceFileWhole(path, std::vector<std::string>{"head ", changed}), std::nullopt);
    EXPECT_EQ(test::readWholeFile(path), "head " + changed);
}

TEST(FileReplace, AFailureLeavesTheOldFileAndNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir.file("out.bas");
    ASSERT_EQ(replaceFileWhole(path, "good"), std::nullopt);
    fs::create_directory(dir.file("folder.bas"));
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {dir.file("missing/out.bas"), "No such file or directory"},
        {dir.file("folder.bas"), "Is a directory"},
        {dir.file("nul") + std::string("\0.sh", 4), "NUL"},
    };
    for (const Case& c : cases) {
        const std::string reason = test::failureReason(replaceFileWhole(c.path, "bytes"));
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
    EXPECT_EQ(test::readWholeFile(path), "good");
    EXPECT_EQ(filesIn(dir.path()), 2U);
}

TEST(FileReplace, TemporaryFilesOfKilledRunsGoAndNoOtherFiles) {
    test::TempDir dir;
    const auto put = [&](const std::string& name) {
        std::ofstream(dir.file(name), std::ios::binary) << "partial";
        return dir.file(name);
    };
    // A killed run's file, and one a live writer holds locked.
    put(".travonix-0123abcd.tmp");
    const int busy = ::open(put(".travonix-89abcdef.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    // Names near the writer's own, and things of its name that are no files.
    const std::vector<std::string> kept = {".travonix-0123ABCD.tmp", ".travonix-0123abc.tmp",
                                           ".travonix-0123abcd.tmp.bak", "x.travonix-0123abcd.tmp",
                                           "target"};
    for (const std::string& name : kept)
        put(name);
    fs::create_directory(dir.file(".travonix-00000000.tmp"));
    fs::create_symlink("target", dir.file(".travonix-11111111.tmp"));

    EXPECT_EQ(replaceFileWhole(dir.file("out.bas"), "new"), std::nullopt);
    ::close(busy);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {".travonix-00000000.tmp", ".travonix-11111111.tmp",
                                     ".travonix-89abcdef.tmp", "out.bas"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
    EXPECT_EQ(test::readWholeFile(dir.file("target")), "partial");
}

TEST(FileReplace, AFullDiskLeavesTheOldFileAsItWasAndSaysWhy) {
    test::SmallDisk disk("64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::string path = disk.file("good.bas");
    const std::string good(8 * 1024, 'g');
    ASSERT_EQ(replaceFileWhole(path, good), std::nullopt);

    const std::string big(200 * 1024, 'b');
    EXPECT_EQ(replaceFileWhole(path, big), Failure{"No space left on device"});
    EXPECT_EQ(test::readWholeFile(path), good);
    EXPECT_EQ(replaceFileWhole(disk.file("new.bas"), big), Failure{"No space left on device"});
    EXPECT_FALSE(fs::exists(disk.file("new.bas")));
    EXPECT_EQ(filesIn(disk.path()), 1U) << "no temporary file is left";
}

} // namespace
} // namespace travonix

namespace travonix {
namespace {

// Where a .bas file goes there may be something that is no regular file. A
// FIFO or a device is refused by name and left as it is; a link is replaced
// itself, never written through, and a link to a FIFO does not make the
// look at the old contents wait for a writer.
TEST(FileReplace, OnlyRegularFilesAreReplacedAndNothingWaitsOnAFifo) {
    test::TempDir dir;
    const std::string fifo = dir.file("fifo.bas");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string device = dir.file("null.bas");
    const bool madeDevice = ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const std::string link = dir.file("link.bas");
    fs::create_symlink(fifo, link);

    EXPECT_NE(test::failureReason(replaceFileWhole(fifo, "words")).find("FIFO"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(fifo));
    if (madeDevice) {
        EXPECT_NE(test::failureReason(replaceFileWhole(device, "words")).find("device"),
                  std::string::npos);
        EXPECT_TRUE(fs::is_character_file(device));
    }
    EXPECT_EQ(replaceFileWhole(link, "words"), std::nullopt);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(link))) << "the link itself is replaced";
    EXPECT_EQ(test::readWholeFile(link), "words");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(notReplaceable(dir.file("none.bas")), std::nullopt);
    EXPECT_EQ(notReplaceable(link), std::nullopt);
    if (!madeDevice)
        GTEST_SKIP() << "device nodes need the right to make them (root): only the FIFO was tried";
}

TEST(HeldTemporaryFile, IsNewBesideItsTargetAndKeptFromTidyingUntilReleased) {
    test::TempDir dir;
    std::string path;
    {
        const HeldTemporaryFile held(dir.file("calls.dis"));
        ASSERT_EQ(held.failure(), std::nullopt);
        ASSERT_TRUE(held.created());
        path = held.path();
        EXPECT_EQ(fs::path(path).parent_path(), fs::path(dir.path()));
        EXPECT_TRUE(fs::is_regular_file(path));
        EXPECT_EQ(fs::file_size(path), 0U);
        // The first write of this process into the folder tidies it up: a
        // held file is a live run's, not a leftover.
        EXPECT_EQ(replaceFileWhole(dir.file("blk.bas"), "x"), std::nullopt);
        EXPECT_TRUE(fs::exists(path));
    }
    EXPECT_TRUE(fs::exists(path)) << "released, not removed: the caller renames or removes it";
    const HeldTemporaryFile nowhere(dir.file("no such folder/calls.dis"));
    EXPECT_FALSE(nowhere.created());
    EXPECT_FALSE(test::failureReason(nowhere.failure()).empty());
}

} // namespace
} // namespace travonix
