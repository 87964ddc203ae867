#include "WindowsTestSupport.h"

#include "platform/CmdLine.h"
#include "platform/DetachedStart.h"
#include "platform/ProcessRunner.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix {
namespace {

using namespace std::chrono_literals;

// A program stands in for help.pdf: wine's cmd.exe opens no document with
// the program associated with it. cmd.exe reads the line alike up to the
// file it opens, with one exception: a line of one quoted path with blanks
// keeps its quotes when the path names a program (wine's cmd.exe keeps them
// for any existing file), while Windows drops them for a document. The
// line's own test pins the extra pair for that case. Started, the stand-in
// notes its own path in "ran.txt" beside itself.
std::string putStandInDocument(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    EXPECT_FALSE(ec) << ec.message();
    const std::string document = folder + "\\help.exe";
    EXPECT_TRUE(CopyFileA(test::besideTestProgram(TRAVONIX_DOCUMENT_STANDIN_NAME).c_str(),
                          document.c_str(), TRUE));
    return document;
}

// The folders a program can be installed in, named with what cmd.exe would
// split at, expand or run. The first has nothing of that: there cmd /C drops
// the quotes of the plain line (unless the temporary folder has a blank).
TEST(HelpUnderCmd, TheDocumentInAFolderOfAnyNameIsOpened) {
    test::WindowsTempDir work("travonix-help-");
    const char* folders[] = {
        "Tools",  "Program Files", "Program Files (x86)", "a%OS%b",    "100% & 50%", "R&D",
        "a!OS!b", "a^b,c;d=e",     "a)&mkdir pwned&(b",   "x%\\%PATH%"};
    for (const char* name : folders) {
        SCOPED_TRACE(name);
        const std::string document = putStandInDocument(work.file(name));
        const std::string line = cmdOpenLine(document);

        const ProcessResult result =
            ProcessRunner(test::kRunBound).run({line, {}, {}, {}, {}}, kMinimizedNoFocus);
        EXPECT_EQ(result.status, ProcessResult::Status::Exited) << line;
        EXPECT_EQ(result.exitCode, 0) << line;
        EXPECT_EQ(test::readWholeFile(work.file(name) + "\\ran.txt"), document) << line;
        EXPECT_FALSE(std::filesystem::exists(work.file("pwned")));
    }
}

// The help viewer is started, not waited for: the start says only whether
// the command interpreter could be started at all.
TEST(HelpUnderCmd, TheDetachedStartRunsTheLineWithoutWaiting) {
    test::WindowsTempDir work("travonix win ");
    const std::string folder = work.file("Program Files (x86)\\Travonix & co");
    const std::string document = putStandInDocument(folder);
    ASSERT_TRUE(startDetached(cmdOpenLine(document), StartedWindow::Minimized));
    const std::string note = folder + "\\ran.txt";
    const auto deadline = std::chrono::steady_clock::now() + test::kRunBound;
    while (test::sizeOf(note) < document.size() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(test::readWholeFile(note), document);

    EXPECT_FALSE(startDetached("no-such-program-travonix.exe", StartedWindow::Normal));
}

} // namespace
} // namespace travonix
