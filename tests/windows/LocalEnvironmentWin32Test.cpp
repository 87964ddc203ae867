// The local environment on Windows: files through the wide file functions,
// the clock and the user through the C library.

#include "WindowsTestSupport.h"

#include "platform/LocalEnvironment.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace travonix {
namespace {

using test::patternedBytes;
using test::WindowsTempDir;

TEST(LocalEnvironmentWin32, ReadsFilesWholeAndInParts) {
    WindowsTempDir dir;
    LocalEnvironment env;
    const std::string bytes = patternedBytes(300007);
    const std::string path = dir.file("listing.dis");
    test::writeBytes(path, bytes);
    EXPECT_TRUE(env.fileExists(path));
    EXPECT_FALSE(env.fileExists(dir.path()));
    EXPECT_FALSE(env.fileExists(dir.file("missing.dis")));
    EXPECT_EQ(env.readFile(path), bytes);
    EXPECT_EQ(env.readFilePart(path, 70000, 5000), bytes.substr(70000, 5000));
    EXPECT_EQ(env.readFilePart(path, bytes.size() - 10, 5000), bytes.substr(bytes.size() - 10));
    EXPECT_FALSE(env.readFile(dir.file("missing.dis")).has_value());
    EXPECT_FALSE(env.readFile(dir.path()).has_value());

    const std::optional<ListingText> text = env.readListingText(path);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->view(), bytes);
    text->doneWith(0, bytes.size());
    EXPECT_EQ(text->view(), bytes);
}

TEST(LocalEnvironmentWin32, TellsWhenAFileWasLastWritten) {
    WindowsTempDir dir;
    LocalEnvironment env;
    const std::string path = dir.file("prog.elf");
    test::writeBytes(path, "\x7f"
                           "ELF");
    const std::optional<std::string> text = env.fileModifiedText(path);
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->size(), 19U) << *text; // "yyyy-MM-dd HH:mm:ss"
    EXPECT_EQ((*text)[4], '-');
    EXPECT_EQ((*text)[10], ' ');
    EXPECT_EQ((*text)[13], ':');
    EXPECT_EQ(env.fileModifiedText(path), text) << "the same file, the same time";
    EXPECT_FALSE(env.fileModifiedText(dir.file("missing.elf")).has_value());
    EXPECT_FALSE(env.fileModifiedText(dir.path()).has_value());
}

TEST(LocalEnvironmentWin32, StampsWithSourceDateEpochInUtcAndTheUsersName) {
    LocalEnvironment env;
    ASSERT_EQ(_putenv_s("SOURCE_DATE_EPOCH", "1796893507"), 0);
    ASSERT_EQ(_putenv_s("USERNAME", "tester"), 0);
    const LocalDateTime pinned = env.now();
    EXPECT_EQ(pinned.year, 2026);
    EXPECT_EQ(pinned.month, 12);
    EXPECT_EQ(pinned.day, 10);
    EXPECT_EQ(pinned.hour, 9);
    EXPECT_EQ(pinned.minute, 5);
    EXPECT_EQ(pinned.second, 7);
    EXPECT_EQ(env.userName(), "tester");
    ASSERT_EQ(_putenv_s("SOURCE_DATE_EPOCH", "not a number"), 0);
    EXPECT_GE(env.now().year, 2024) << "the clock, when the variable is no number";
    ASSERT_EQ(_putenv_s("SOURCE_DATE_EPOCH", ""), 0);
    EXPECT_EQ(env.pathSeparator(), "\\");
}

} // namespace
} // namespace travonix
