#include "WindowsTestSupport.h"

#include "core/Conversion.h"
#include "platform/FileReplace.h"
#include "support/Fixtures.h"
#include "support/ListingBuilder.h"
#include "support/OutcomeTesting.h"

#include <gtest/gtest.h>

#include <filesystem>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix {
namespace {

// The file's identity and last write time, as the system keeps them.
struct FileStamp {
    unsigned long long index = 0;
    unsigned long long written = 0;
};

FileStamp stampOf(const std::string& path) {
    FileStamp stamp;
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    BY_HANDLE_FILE_INFORMATION info{};
    if (file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info)) {
        stamp.index =
            (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        stamp.written =
            (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
            info.ftLastWriteTime.dwLowDateTime;
    }
    CloseHandle(file);
    return stamp;
}

void setWriteTimeToThePast(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME past{};
    past.dwHighDateTime = 0x01d00000; // in 2015
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &past));
    CloseHandle(file);
}

TEST(FileReplaceWin32, WritesAndReplacesWholeFilesAtBackslashPaths) {
    test::WindowsTempDir dir;
    ASSERT_TRUE(CreateDirectoryA(dir.file("sub folder").c_str(), nullptr));
    const std::string cases[] = {
        dir.file("out.bas"),
        dir.file("sub folder\\out.bas"),
        // An output folder given with a trailing "\" gives two in a row.
        dir.file("sub folder\\\\twice.bas"),
        dir.file("sub folder\\..\\up.bas"),
    };
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(replaceFileWhole(path, "first\r\n"), std::nullopt);
        EXPECT_EQ(test::readWholeFile(path), "first\r\n");
        EXPECT_EQ(replaceFileWhole(path, std::vector<std::string>{"second, ", "longer\r\n"}),
                  std::nullopt);
        EXPECT_EQ(test::readWholeFile(path), "second, longer\r\n");
        EXPECT_EQ(replaceFileWhole(path, "3"), std::nullopt);
        EXPECT_EQ(test::readWholeFile(path), "3");
    }
    EXPECT_EQ(test::namesIn(dir.path()), "out.bas sub folder up.bas")
        << "no temporary file is left";
    EXPECT_EQ(test::namesIn(dir.file("sub folder")), "out.bas twice.bas");
}

TEST(FileReplaceWin32, ARelativePathIsWrittenInTheCurrentFolder) {
    test::WindowsTempDir dir;
    char previous[MAX_PATH + 1];
    ASSERT_GT(GetCurrentDirectoryA(sizeof previous, previous), 0U);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    const Outcome written = replaceFileWhole("here.bas", "text");
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(written, std::nullopt);
    EXPECT_EQ(test::readWholeFile(dir.file("here.bas")), "text");
    EXPECT_EQ(test::namesIn(dir.path()), "here.bas");
}

TEST(FileReplaceWin32, AFileThatAlreadyHoldsTheBytesIsOnlyTouched) {
    test::WindowsTempDir dir;
    const std::string path = dir.file("same.bas");
    ASSERT_EQ(replaceFileWhole(path, "the same text"), std::nullopt);
    setWriteTimeToThePast(path);
    const FileStamp before = stampOf(path);

    EXPECT_EQ(replaceFileWhole(path, std::vector<std::string>{"the same ", "text"}), std::nullopt);
    const FileStamp touched = stampOf(path);
    EXPECT_EQ(touched.index, before.index) << "the same file, not a new one renamed over it";
    EXPECT_GT(touched.written, before.written) << "written again, as far as its time says";
    EXPECT_EQ(test::readWholeFile(path), "the same text");

    // One byte more is a different file: a new one takes the name.
    EXPECT_EQ(replaceFileWhole(path, "the same text!"), std::nullopt);
    EXPECT_EQ(test::readWholeFile(path), "the same text!");
    EXPECT_NE(stampOf(path).index, before.index);
    EXPECT_EQ(test::namesIn(dir.path()), "same.bas");

    // So is one byte changed deep in a large part (compared a piece at a
    // time), of the same size.
    const std::string large(300000, 'w');
    ASSERT_EQ(replaceFileWhole(path, std::vector<std::string>{"head ", large}), std::nullopt);
    std::string changed = large;
    changed[200001] = 'x';
    EXPECT_EQ(replaceFileWhole(path, std::vector<std::string>{"head ", changed}), std::nullopt);
    EXPECT_EQ(test::readWholeFile(path), "head " + changed);
}

TEST(FileReplaceWin32, AFailureLeavesTheOldFileNoTemporaryFileAndSaysWhy) {
    test::WindowsTempDir dir;
    const std::string old = dir.file("out.bas");
    ASSERT_EQ(replaceFileWhole(old, "good"), std::nullopt);
    ASSERT_TRUE(CreateDirectoryA(dir.file("folder.bas").c_str(), nullptr));
    // Open in another program (an editor, say) that lets others only read it.
    const std::string held = dir.file("held.bas");
    ASSERT_EQ(replaceFileWhole(held, "kept"), std::nullopt);
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    struct Case {
        std::string path;
        std::vector<const char*> reasons; // one of them is part of the reason
    };
    const Case cases[] = {
        {dir.file("missing\\out.bas"), {"(error 3)"}}, // the path is not found
        {dir.file("folder.bas"), {"(error "}},
        {held, {"(error 5)", "(error 32)"}}, // access denied, or a sharing violation
        {old + std::string("\0.bas", 5), {"NUL"}},
    };
    for (const Case& c : cases) {
        const std::string reason = test::failureReason(replaceFileWhole(c.path, "bytes"));
        bool named = false;
        for (const char* part : c.reasons)
            named = named || reason.find(part) != std::string::npos;
        EXPECT_TRUE(named) << c.path << ": " << reason;
    }
    CloseHandle(holder);
    EXPECT_EQ(test::readWholeFile(old), "good");
    EXPECT_EQ(test::readWholeFile(held), "kept");
    EXPECT_EQ(test::namesIn(dir.path()), "folder.bas held.bas out.bas");
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder.bas")));
}

// Open as a writer holds its temporary file: shared with nobody.
HANDLE holdAsWriter(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(FileReplaceWin32, TemporaryFilesOfKilledRunsGoAndNoOtherFiles) {
    test::WindowsTempDir dir;
    // A killed run's file, and one a live writer holds open.
    test::writeBytes(dir.file(".travonix-0123abcd.tmp"), "partial");
    test::writeBytes(dir.file(".travonix-89abcdef.tmp"), "partial");
    HANDLE busy = holdAsWriter(dir.file(".travonix-89abcdef.tmp"));
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    // Names near the writer's own (names differ in more than letter case
    // here), and a folder of its name.
    for (const char* name :
         {".travonix-4567CDEF.tmp", ".travonix-0123abc.tmp", ".travonix-0123abcd.tmp.bak",
          "x.travonix-0123abcd.tmp", ".travonix-76543210.tm", ".travonix-fedcba98.TMP"})
        test::writeBytes(dir.file(name), "kept");
    ASSERT_TRUE(CreateDirectoryA(dir.file(".travonix-00000000.tmp").c_str(), nullptr));
    const std::string bytes(3 << 20, 'x');

    EXPECT_EQ(replaceFileWhole(dir.file("out.bas"), bytes), std::nullopt);
    CloseHandle(busy);
    EXPECT_EQ(test::namesIn(dir.path()),
              ".travonix-00000000.tmp .travonix-0123abc.tmp .travonix-0123abcd.tmp.bak "
              ".travonix-4567CDEF.tmp .travonix-76543210.tm .travonix-89abcdef.tmp "
              ".travonix-fedcba98.TMP out.bas x.travonix-0123abcd.tmp");
    EXPECT_EQ(test::readWholeFile(dir.file(".travonix-89abcdef.tmp")), "partial");
    EXPECT_TRUE(test::readWholeFile(dir.file("out.bas")) == bytes) << "the whole file";
}

bool isReparsePoint(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A link of the temporary name is no killed run's file: it stays, and so
// does what it points at.
TEST(FileReplaceWin32, ALinkOfTheTemporaryNameStays) {
    test::WindowsTempDir dir;
    test::writeBytes(dir.file("target"), "kept");
    const std::string link = dir.file(".travonix-11111111.tmp");
    if (!CreateSymbolicLinkA(link.c_str(), dir.file("target").c_str(),
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        !isReparsePoint(link))
        GTEST_SKIP() << "no symbolic link can be made here";
    EXPECT_EQ(replaceFileWhole(dir.file("out.bas"), "new"), std::nullopt);
    EXPECT_EQ(test::namesIn(dir.path()), ".travonix-11111111.tmp out.bas target");
    EXPECT_EQ(test::readWholeFile(dir.file("target")), "kept");
}

// The conversion's files through the Windows writer: the output folder and
// the name are joined with "\" as they stand.
class WindowsWriter : public FileWriter {
  public:
    Outcome writeWhole(const std::string& path, std::string_view bytes) override {
        return replaceFileWhole(path, bytes);
    }
    Outcome writeWhole(const std::string& path, const std::vector<std::string>& parts) override {
        return replaceFileWhole(path, parts);
    }
};

TEST(FileReplaceWin32, TheConversionsFilesLandInTheOutputFolder) {
    test::WindowsTempDir dir;
    ASSERT_TRUE(CreateDirectoryA(dir.file("out put").c_str(), nullptr));
    for (const std::string& folder : {dir.file("out put"), dir.file("out put\\")}) {
        SCOPED_TRACE(folder);
        test::ListingBuilder built;
        built.function("alpha", test::testWords(1, 3)).function("beta", test::testWords(4, 2));
        ConversionSettings settings;
        settings.outputFolder = folder;
        settings.keepListingCopy = true;
        const ConversionPlan plan = planConversion(built.listing, built.functions, settings);
        ASSERT_EQ(plan.status, ConversionPlan::Status::Ready);
        GeneratedBlocks blocks =
            buildBlocks(built.listing, plan, settings, Stamp{{2026, 12, 10, 9, 5, 7}, "tester"},
                        [](const JalrLine&) { return true; });
        std::vector<OutputFile> files = basFiles(blocks, plan, settings, "\\");
        files.push_back(listingCopyFile(blocks, settings, "\\"));
        WindowsWriter writer;
        const WriteReport report = writeFiles(files, folder, "\\", writer);

        EXPECT_TRUE(report.diagnostics.empty());
        ASSERT_EQ(report.writtenPaths.size(), 3U);
        for (const OutputFile& file : files)
            EXPECT_EQ(test::readWholeFile(file.path), file.bytes()) << file.path;
        // The file's second line names it by the path it was written to.
        EXPECT_NE(files[0].bytes().find("'" + folder + "\\alpha.bas\r\n"), std::string::npos);
        EXPECT_EQ(test::namesIn(dir.file("out put")), "DisAsm.txt alpha.bas beta.bas");
    }
}

} // namespace
} // namespace travonix
