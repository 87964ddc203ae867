// travonix-cli.exe itself, started as a Makefile starts it: the merged block
// it writes for a fixture is the one the golden files hold, and a usage error
// says what is wrong with exit code 2.

#include "WindowsTestSupport.h"

#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix {
namespace {

// Runs the tool with `arguments` (already quoted where needed) in `folder`,
// its output into files there; the exit code, or -1 when it did not end.
int runTool(const std::string& arguments, const std::string& folder) {
    const std::string tool = test::besideTestProgram(TRAVONIX_CLI_NAME);
    std::string commandLine = "\"" + tool + "\" " + arguments;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE out = CreateFileA((folder + "\\stdout.txt").c_str(), GENERIC_WRITE, 0, &inherit,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE err = CreateFileA((folder + "\\stderr.txt").c_str(), GENERIC_WRITE, 0, &inherit,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, folder.c_str(), &startup, &process);
    CloseHandle(out);
    CloseHandle(err);
    if (!started)
        return -1;
    const auto bound = static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(test::kRunBound).count());
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, bound) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

// The block from its comment stamp on: the lines before it name the output
// folder, which differs from the golden run's.
std::string fromStamp(const std::string& bas) {
    const std::size_t stamp = bas.find("'My_Blk  ");
    return stamp == std::string::npos ? bas : bas.substr(stamp);
}

TEST(CommandLineTool, WritesTheMergedBlockTheGoldenFilesHold) {
    test::WindowsTempDir dir;
    ASSERT_EQ(_putenv_s("SOURCE_DATE_EPOCH", "1796893507"), 0); // 2026-12-10 09:05:07 UTC
    ASSERT_EQ(_putenv_s("USERNAME", "tester"), 0);
    std::filesystem::create_directory(dir.file("out"));
    const int code = runTool(
        "-m merge -n My_Blk --main -o out \"" + test::fixturePath("calls.dis") + "\"", dir.path());
    ASSERT_EQ(_putenv_s("SOURCE_DATE_EPOCH", ""), 0);
    EXPECT_EQ(code, 0) << test::readWholeFile(dir.file("stderr.txt"));
    const std::string golden =
        test::readWholeFile(std::string(TRAVONIX_CLI_GOLDEN_DIR) + "/calls-merge/My_Blk.bas");
    ASSERT_NE(fromStamp(golden), golden);
    EXPECT_EQ(fromStamp(test::readWholeFile(dir.file("out\\My_Blk.bas"))), fromStamp(golden));
    EXPECT_EQ(test::readWholeFile(dir.file("stdout.txt")).rfind("out\\My_Blk.bas", 0), 0U);
}

TEST(CommandLineTool, AUsageErrorSaysWhatIsWrongWithExitTwo) {
    test::WindowsTempDir dir;
    EXPECT_EQ(runTool("--mode sideways a.dis", dir.path()), 2);
    EXPECT_EQ(test::readWholeFile(dir.file("stderr.txt")),
              "travonix-cli: unknown mode 'sideways' (individual, single or merge)\r\n"
              "Try 'travonix-cli --help' for more information.\r\n");
    EXPECT_TRUE(test::readWholeFile(dir.file("stdout.txt")).empty());
}

} // namespace
} // namespace travonix
