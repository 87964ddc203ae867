#include "platform/LocalEnvironment.h"

#include "PlatformTestSupport.h"
#include "support/Fixtures.h"
#include "support/OutcomeTesting.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace travonix {
namespace {

using test::patternedBytes;
using test::TempDir;

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(LocalEnvironment, WritesAFileWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    LocalEnvironment env;
    const std::string path = dir.file("Blink.bas");
    EXPECT_EQ(env.writeWhole(path, "a much longer first content\r\n"), std::nullopt);
    EXPECT_EQ(env.writeWhole(path, std::string("CFunction\r\n\0x\r\n", 15)), std::nullopt);
    EXPECT_EQ(env.readFile(path), std::string("CFunction\r\n\0x\r\n", 15));
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"Blink.bas"});
}

// A listing is read a piece at a time: every byte arrives, in order, whether
// the file ends inside a piece, at its end or far beyond one.
TEST(LocalEnvironment, ReadsAFileWholeWhateverItsSize) {
    TempDir dir;
    LocalEnvironment env;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65535},
                                   std::size_t{65536}, std::size_t{65537}, std::size_t{300007}}) {
        SCOPED_TRACE(size);
        const std::string bytes = patternedBytes(size);
        const std::string path = dir.file("listing-" + std::to_string(size) + ".dis");
        ASSERT_EQ(env.writeWhole(path, bytes), std::nullopt);
        EXPECT_EQ(env.readFile(path), bytes);
    }
}

// A listing's text is the file mapped read-only where it can be (an
// ordinary, non-empty file), else its bytes read: the same bytes either way,
// and on POSIX they stay readable after the file is replaced under its name,
// as the disassembler's next run replaces it.
TEST(LocalEnvironment, HandsOutAListingsTextAsTheFilesBytes) {
    TempDir dir;
    LocalEnvironment env;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4095},
                                   std::size_t{4096}, std::size_t{4097}, std::size_t{300007}}) {
        SCOPED_TRACE(size);
        const std::string bytes = patternedBytes(size);
        const std::string path = dir.file("listing-" + std::to_string(size) + ".dis");
        ASSERT_EQ(env.writeWhole(path, bytes), std::nullopt);
        const std::optional<ListingText> text = env.readListingText(path);
        ASSERT_TRUE(text.has_value());
#ifndef _WIN32
        // Windows refuses to replace a file while it is mapped.
        ASSERT_EQ(env.writeWhole(path, "replaced"), std::nullopt);
#endif
        EXPECT_EQ(text->view(), bytes);
        // Pages let go come back from the file as they were, even once the
        // file's name holds another file.
        text->doneWith(size / 3, size);
        text->doneWith(0, 5000);
        EXPECT_EQ(text->view(), bytes);
    }
    EXPECT_FALSE(env.readListingText(dir.file("missing.dis")).has_value());
    EXPECT_FALSE(env.readListingText(dir.path()).has_value());
}

#ifdef __linux__
// The resident size of the mapping that holds `at`, from /proc/self/smaps.
std::size_t residentKiB(const void* at) {
    std::ifstream smaps("/proc/self/smaps");
    const auto address = reinterpret_cast<std::uintptr_t>(at);
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        unsigned long from = 0;
        unsigned long to = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &from, &to) == 2) {
            inside = address >= from && address < to;
            continue;
        }
        std::size_t kib = 0;
        if (inside && std::sscanf(line.c_str(), "Rss: %zu kB", &kib) == 1)
            return kib;
    }
    return 0;
}

// A mapped listing's pages let go leave the process (the file cache keeps
// them); those read again come back.
TEST(LocalEnvironment, AMappedListingsPagesLetGoLeaveTheProcess) {
    TempDir dir;
    LocalEnvironment env;
    const std::string bytes = patternedBytes(1 << 20);
    const std::string path = dir.file("large.dis");
    ASSERT_EQ(env.writeWhole(path, bytes), std::nullopt);
    const std::optional<ListingText> text = env.readListingText(path);
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->view(), bytes);
    const std::size_t whole = residentKiB(text->view().data());
    ASSERT_GE(whole, 1000U) << "read through, the whole file is resident";
    text->doneWith(0, bytes.size());
    EXPECT_LE(residentKiB(text->view().data()), whole / 8);
    EXPECT_EQ(text->view(), bytes);
    EXPECT_GE(residentKiB(text->view().data()), 1000U);
}
#endif

TEST(LocalEnvironment, ReportsAFileThatCannotBeWrittenInOneLine) {
    TempDir dir;
    LocalEnvironment env;
    const std::string path = dir.file("missing folder/Blink.bas");
    const std::string reason = test::failureReason(env.writeWhole(path, "x"));
    // The reason alone: the caller's report names the path.
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find(path), std::string::npos) << reason;
    EXPECT_EQ(reason.find('\n'), std::string::npos);
    EXPECT_TRUE(folderEntries(dir.path()).empty());
}

TEST(LocalEnvironment, ReplacesAFileByTheOneWrittenBesideItAndRemovesFiles) {
    TempDir dir;
    LocalEnvironment env;
    const std::string listing = dir.file("demo.dis");
    const std::string partial = dir.file("demo.dis.travonix-partial");
    test::writeFile(listing, "old listing");
    test::writeFile(partial, "new listing");
    EXPECT_EQ(env.replaceFile(partial, listing), std::nullopt);
    EXPECT_EQ(env.readFile(listing), "new listing");
    EXPECT_FALSE(env.fileExists(partial));

    const std::string reason = test::failureReason(env.replaceFile(partial, listing));
    EXPECT_FALSE(reason.empty()) << "nothing to move";
    EXPECT_EQ(reason.find('\n'), std::string::npos);
    EXPECT_EQ(env.readFile(listing), "new listing");

    env.removeFile(listing);
    EXPECT_FALSE(env.fileExists(listing));
    env.removeFile(listing); // already gone: nothing happens
    EXPECT_TRUE(folderEntries(dir.path()).empty());
}

TEST(LocalEnvironment, SeesOnlyOrdinaryFiles) {
    TempDir dir;
    LocalEnvironment env;
    test::writeFile(dir.file("demo.elf"), "x");
    EXPECT_TRUE(env.fileExists(dir.file("demo.elf")));
    EXPECT_FALSE(env.fileExists(dir.path()));
    EXPECT_FALSE(env.fileExists(dir.file("other.elf")));
    EXPECT_FALSE(env.fileExists(""));
    EXPECT_EQ(env.readFile(dir.file("other.elf")), std::nullopt);
    EXPECT_EQ(env.fileModifiedText(dir.file("other.elf")), std::nullopt);
    EXPECT_EQ(env.fileModifiedText(dir.path()), std::nullopt);
}

TEST(LocalEnvironment, ModificationTextIsStableAndFollowsEverySecond) {
    TempDir dir;
    LocalEnvironment env;
    const std::string path = dir.file("demo.elf");
    test::writeFile(path, "x");
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QDateTime base(QDate(2026, 3, 4), QTime(5, 6, 7, 100));
    ASSERT_TRUE(file.setFileTime(base, QFileDevice::FileModificationTime));
    const auto first = env.fileModifiedText(path);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, "2026-03-04 05:06:07");
    // Less than a second later: the same text.
    ASSERT_TRUE(file.setFileTime(base.addMSecs(800), QFileDevice::FileModificationTime));
    EXPECT_EQ(env.fileModifiedText(path), first);
    ASSERT_TRUE(file.setFileTime(base.addSecs(1), QFileDevice::FileModificationTime));
    EXPECT_NE(env.fileModifiedText(path), first);
}

TEST(LocalEnvironment, HonoursSourceDateEpochInUtc) {
    LocalEnvironment env;
    {
        test::ScopedEnv epoch("SOURCE_DATE_EPOCH", "1700000000");
        const LocalDateTime t = env.now();
        EXPECT_EQ(formatDate(t) + " " + formatTime(t), "2023-11-14 22:13:20");
    }
    for (const char* invalid : {"", "abc", "-5", "17e8", "99999999999999999999"}) {
        test::ScopedEnv epoch("SOURCE_DATE_EPOCH", invalid);
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const LocalDateTime t = env.now();
        const QDateTime seen(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
        EXPECT_GE(seen, before.addMSecs(-before.time().msec())) << invalid;
        EXPECT_LE(seen, QDateTime::currentDateTime()) << invalid;
    }
}

TEST(LocalEnvironment, TakesUsernameThenUser) {
    LocalEnvironment env;
    test::ScopedEnv username("USERNAME", "alice");
    test::ScopedEnv user("USER", "bob");
    EXPECT_EQ(env.userName(), "alice");
    {
        test::ScopedEnv noUsername("USERNAME", std::nullopt);
        EXPECT_EQ(env.userName(), "bob");
        test::ScopedEnv noUser("USER", std::nullopt);
        EXPECT_EQ(env.userName(), "");
    }
    EXPECT_EQ(env.pathSeparator(), "/");
}

} // namespace
} // namespace travonix

namespace travonix {
namespace {

// A name in Latin-1 ("café" with a lone 0xE9) is no UTF-8: it must still be
// found, read and dated as the bytes it is, as -o and the symbol names are.
TEST(LocalEnvironment, APathThatIsNotUtf8IsTakenAsItsBytes) {
    TempDir dir;
    LocalEnvironment env;
    const std::string path = dir.file("caf\xe9.dis");
    test::writeFile(path, "listing");
    EXPECT_TRUE(env.fileExists(path));
    EXPECT_EQ(env.readFile(path), "listing");
    EXPECT_TRUE(env.fileModifiedText(path).has_value());
    EXPECT_FALSE(env.fileExists(dir.file("caf\xc3\xa9.dis"))) << "the UTF-8 name is another file";
    EXPECT_FALSE(env.fileExists(dir.path())) << "a folder is no file";
}

} // namespace
} // namespace travonix
