#include "WindowsTestSupport.h"

#include "core/Conversion.h"
#include "platform/FileReplace.h"
#include "support/Fixtures.h"
#include "support/ListingBuilder.h"

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
        EXPECT_EQ(replaceFileWhole(path, "first\r\n"), "");
        EXPECT_EQ(test::readWholeFile(path), "first\r\n");
        EXPECT_EQ(replaceFileWhole(path, std::vector<std::string>{"second, ", "longer\r\n"}), "");
        EXPECT_EQ(test::readWholeFile(path), "second, longer\r\n");
        EXPECT_EQ(replaceFileWhole(path, "3"), "");
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
    const std::string reason = replaceFileWhole("here.bas", "text");
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(reason, "");
    EXPECT_EQ(test::readWholeFile(dir.file("here.bas")), "text");
    EXPECT_EQ(test::namesIn(dir.path()), "here.bas");
}

TEST(FileReplaceWin32, AFileThatAlreadyHoldsTheBytesIsOnlyTouched) {
    test::WindowsTempDir dir;
    const std::string path = dir.file("same.bas");
    ASSERT_EQ(replaceFileWhole(path, "the same text"), "");
    setWriteTimeToThePast(path);
    const FileStamp before = stampOf(path);

    EXPECT_EQ(replaceFileWhole(path, std::vector<std::string>{"the same ", "text"}), "");
    const FileStamp touched = stampOf(path);
    EXPECT_EQ(touched.index, before.index) << "the same file, not a new one renamed over it";
    EXPECT_GT(touched.written, before.written) << "written again, as far as its time says";
    EXPECT_EQ(test::readWholeFile(path), "the same text");

    // One byte more is a different file: a new one takes the name.
    EXPECT_EQ(replaceFileWhole(path, "the same text!"), "");
    EXPECT_EQ(test::readWholeFile(path), "the same text!");
    EXPECT_NE(stampOf(path).index, before.index);
    EXPECT_EQ(test::namesIn(dir.path()), "same.bas");
}

TEST(FileReplaceWin32, AFailureLeavesTheOldFileNoTemporaryFileAndSaysWhy) {
    test::WindowsTempDir dir;
    const std::string old = dir.file("out.bas");
    ASSERT_EQ(replaceFileWhole(old, "good"), "");
    ASSERT_TRUE(CreateDirectoryA(dir.file("folder.bas").c_str(), nullptr));
    // Open in another program (an editor, say) that lets others only read it.
    const std::string held = dir.file("held.bas");
    ASSERT_EQ(replaceFileWhole(held, "kept"), "");
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
        const std::string reason = replaceFileWhole(c.path, "bytes");
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

// The conversion's files through the Windows writer: the output folder and
// the name are joined with "\" as they stand.
class WindowsWriter : public FileWriter {
  public:
    std::string writeWhole(const std::string& path, std::string_view bytes) override {
        return replaceFileWhole(path, bytes);
    }
    std::string writeWhole(const std::string& path,
                           const std::vector<std::string>& parts) override {
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
