#include "WindowsTestSupport.h"

#include "platform/ProcessRunner.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace travonix {
namespace {

using namespace std::chrono_literals;
using Status = ProcessResult::Status;
using Clock = std::chrono::steady_clock;

// "cmd.exe /C" running the stand-in with `arguments`, its output into `out`.
// The outer quotes keep the program's own: cmd /C drops the first and last.
ProcessCommand standIn(const std::string& arguments, const std::string& out) {
    ProcessCommand command;
    command.commandLine =
        "cmd.exe /C \"\"" + test::standInPath() + "\" " + arguments + " >\"" + out + "\"\"";
    return command;
}

TEST(ProcessRunnerWin32, WaitsForTheProgramAndReturnsItsExitCode) {
    test::WindowsTempDir dir;
    struct Case {
        const char* arguments;
        std::int32_t exitCode;
        const char* output;
    };
    const Case cases[] = {
        {"--text listing", 0, "listing"},
        {"--text partial --exit 1", 1, "partial"},
        {"--exit 3", 3, ""},
        {"--exit 255", 255, ""},
        {"--exit -2", -2, ""},
        // Still running for a while: the runner waits for the end.
        {"--text a --sleep 700 --text b --exit 4", 4, "ab"},
    };
    ProcessRunner runner(20s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string out = dir.file("out put.dis");
        const ProcessResult result = runner.run(standIn(c.arguments, out), kMinimizedNoFocus);
        EXPECT_EQ(result.status, Status::Exited);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.errorLine, "");
        EXPECT_EQ(test::readWholeFile(out), c.output);
    }
}

TEST(ProcessRunnerWin32, SaysWhenTheProgramIsMissingOrCannotStart) {
    test::WindowsTempDir dir;
    ProcessRunner runner(20s);

    // cmd.exe runs, but finds no such program: it says 9009, and its
    // redirection has created the file already.
    const std::string out = dir.file("missing.dis");
    ProcessCommand missing;
    missing.commandLine = "cmd.exe /C travonix-no-such-program.exe -D \"x.elf\" >\"" + out + "\"";
    const ProcessResult notFound = runner.run(missing, kMinimizedNoFocus);
    EXPECT_EQ(notFound.status, Status::NotFound);
    EXPECT_EQ(notFound.exitCode, 9009);
    EXPECT_TRUE(std::filesystem::exists(out));

    // No process at all: the start's own error, without an exit code.
    ProcessCommand refused;
    refused.commandLine = dir.file("no-such-interpreter.exe") + " /C x";
    const ProcessResult failed = runner.run(refused, kMinimizedNoFocus);
    EXPECT_EQ(failed.status, Status::CouldNotStart);
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_EQ(failed.errorLine, startFailureText(kErrShellFailed, "Failed to Shell child process"));
}

// A program still running when the wait ends, or when the window cancels,
// is reported as still active (259) and ended with cmd.exe: it writes nothing
// after the runner returned.
TEST(ProcessRunnerWin32, EndsAProgramAtTheWaitBoundOrOnCancel) {
    test::WindowsTempDir dir;
    struct Case {
        std::chrono::milliseconds bound;
        std::chrono::milliseconds cancelAfter; // 0: no cancel
        Status status;
    };
    const Case cases[] = {
        {400ms, 0ms, Status::TimedOut},
        {20s, 400ms, Status::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bound.count());
        const std::string out = dir.file("late.dis");
        ProcessRunner runner(c.bound);
        std::thread canceller;
        if (c.cancelAfter > 0ms)
            canceller = std::thread([&runner, &c] {
                std::this_thread::sleep_for(c.cancelAfter);
                runner.requestCancel();
            });
        const Clock::time_point start = Clock::now();
        const ProcessResult result =
            runner.run(standIn("--sleep 2000 --text late", out), kMinimizedNoFocus);
        const auto waited = Clock::now() - start;
        if (canceller.joinable())
            canceller.join();
        runner.clearCancel();

        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.exitCode, kStillActive);
        EXPECT_GE(waited, 350ms);
        EXPECT_LT(waited, 1800ms) << "the runner returned before the program would have ended";
        // Long after the program would have written: nothing came.
        std::this_thread::sleep_for(2500ms);
        EXPECT_EQ(test::readWholeFile(out), "");
    }
}

} // namespace
} // namespace travonix
