#include "WindowsTestSupport.h"

#include "platform/ProcessRunner.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
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

// The same, its output read as it comes: through the runner's pipe, which
// writes `out` and gathers the pieces in `handed`.
ProcessCommand pipedStandIn(const std::string& arguments, const std::string& out,
                            std::string& handed) {
    ProcessCommand command = standIn(arguments, out);
    command.pipedCommandLine = "cmd.exe /C \"\"" + test::standInPath() + "\" " + arguments + "\"";
    command.standardOutputFile = out;
    command.onOutput = [&handed](std::string_view piece) { handed += piece; };
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
    ProcessRunner runner(test::kRunBound);
    // Redirected by cmd.exe, and through the runner's pipe while the program
    // runs: the pieces and the file hold the same bytes, a failed run's too.
    for (const bool piped : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.arguments) + (piped ? ", piped" : ""));
            const std::string out = dir.file("out put.dis");
            std::string handed;
            const ProcessResult result = runner.run(piped ? pipedStandIn(c.arguments, out, handed)
                                                          : standIn(c.arguments, out),
                                                    kMinimizedNoFocus);
            EXPECT_EQ(result.status, Status::Exited);
            EXPECT_EQ(result.exitCode, c.exitCode);
            EXPECT_EQ(result.errorLine, "");
            EXPECT_EQ(test::readWholeFile(out), c.output);
            EXPECT_EQ(handed, piped ? c.output : "");
        }
}

// Without a piped line cmd.exe's redirection writes the file; a reader of
// the output is handed the file's bytes once the program has succeeded, and
// nothing of a failed run.
TEST(ProcessRunnerWin32, WithoutAPipedLineHandsTheFileOverOnlyAfterASuccess) {
    test::WindowsTempDir dir;
    struct Case {
        const char* arguments;
        const char* handed;
    };
    const Case cases[] = {
        {"--text listing", "listing"},
        {"--text a --sleep 300 --text b", "ab"},
        {"--text partial --exit 1", ""},
    };
    ProcessRunner runner(test::kRunBound);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string out = dir.file("out put.dis");
        ProcessCommand command = standIn(c.arguments, out);
        command.standardOutputFile = out;
        std::string handed;
        command.onOutput = [&handed](std::string_view piece) { handed += piece; };
        runner.run(command, kMinimizedNoFocus);
        EXPECT_EQ(handed, c.handed);
    }
}

// A cancel while the output flows through the pipe ends the program.
TEST(ProcessRunnerWin32, ACancelWhileThePipeFlowsEndsTheProgram) {
    test::WindowsTempDir dir;
    ProcessRunner runner(test::kRunBound);
    std::string handed;
    ProcessCommand slow =
        pipedStandIn("--text first --sleep 30000 --text never", dir.file("slow.dis"), handed);
    slow.onOutput = [&runner](std::string_view) { runner.requestCancel(); };
    const auto start = Clock::now();
    const ProcessResult cancelled = runner.run(slow, kMinimizedNoFocus);
    runner.clearCancel();
    EXPECT_EQ(cancelled.status, Status::Cancelled);
    EXPECT_LT(Clock::now() - start, 20s);
}

TEST(ProcessRunnerWin32, SaysWhenTheProgramIsMissingOrCannotStart) {
    test::WindowsTempDir dir;
    ProcessRunner runner(test::kRunBound);

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
// after the runner returned. The cancel comes once the program is seen
// writing, so that it is ended while it runs, however long its start took.
TEST(ProcessRunnerWin32, EndsAProgramAtTheWaitBoundOrOnCancel) {
    test::WindowsTempDir dir;
    struct Case {
        std::chrono::milliseconds bound;
        bool cancel;
        Status status;
    };
    const Case cases[] = {
        {1s, false, Status::TimedOut},
        {test::kRunBound, true, Status::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bound.count());
        const std::string ticks = dir.file(c.cancel ? "cancelled.txt" : "timed out.txt");
        ProcessRunner runner(c.bound);
        std::thread canceller;
        if (c.cancel)
            canceller = std::thread([&runner, &ticks] {
                (void)test::waitUntilWritten(ticks, test::kRunBound);
                runner.requestCancel();
            });
        const Clock::time_point start = Clock::now();
        const ProcessResult result = runner.run(
            standIn("--tick \"" + ticks + "\" 600000", dir.file("out.dis")), kMinimizedNoFocus);
        const auto waited = Clock::now() - start;
        if (canceller.joinable())
            canceller.join();
        runner.clearCancel();

        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.exitCode, kStillActive);
        if (!c.cancel) {
            EXPECT_GE(waited, c.bound - 100ms) << "the wait lasts until its bound";
        }
        EXPECT_LT(waited, 100s) << "the program runs for ten minutes";
        if (c.cancel) {
            EXPECT_GT(test::sizeOf(ticks), 0U) << "cancelled while it ran";
        }
        test::expectNoMoreWrites(ticks);
    }
}

// A disassembler that exits, with any code, while a process it started runs
// on: that process is ended before the runner returns, so it cannot go on
// writing the listing or anything else.
TEST(ProcessRunnerWin32, EndsWhatAnExitedProgramLeftRunning) {
    test::WindowsTempDir dir;
    const char* exits[] = {"0", "1"};
    for (const char* exitCode : exits) {
        SCOPED_TRACE(exitCode);
        const std::string ticks = dir.file(std::string("left ") + exitCode + ".txt");
        const ProcessResult result =
            ProcessRunner(test::kRunBound)
                .run(standIn("--leave \"" + ticks + "\" --text done --exit " + exitCode,
                             dir.file("out.dis")),
                     kMinimizedNoFocus);
        EXPECT_EQ(result.status, Status::Exited);
        EXPECT_EQ(result.exitCode, std::atoi(exitCode)) << "3: the child did not start or write";
        EXPECT_EQ(test::readWholeFile(dir.file("out.dis")), "done");
        EXPECT_GT(test::sizeOf(ticks), 0U) << "the child ran when its parent exited";
        test::expectNoMoreWrites(ticks);
    }
}

} // namespace
} // namespace travonix
