#include "platform/ProcessRunner.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace travonix {
namespace {

using Status = ProcessResult::Status;
using test::readWholeFile;
using test::TempDir;

ProcessCommand commandOf(std::vector<std::string> arguments, std::string standardOutput = {}) {
    ProcessCommand command;
    command.arguments = std::move(arguments);
    command.standardOutputFile = std::move(standardOutput);
    return command;
}

TEST(ProcessRunner, GivesTheExitCodeOfTheProcess) {
    struct Case {
        const char* script;
        std::int32_t exitCode;
    };
    const Case cases[] = {
        {"exit 0", 0}, {"exit 1", 1}, {"exit 3", 3}, {"exit 255", 255}, {"kill -9 $$", 128 + 9}};
    ProcessRunner runner;
    for (const Case& c : cases) {
        const ProcessResult result = runner.run(commandOf({"sh", "-c", c.script}), 6);
        EXPECT_EQ(result.status, Status::Exited) << c.script;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.script;
    }
    EXPECT_EQ(runner.waitBound(), kDisassemblerWaitBound);
    EXPECT_EQ(kDisassemblerWaitBound, std::chrono::milliseconds{300000});
}

TEST(ProcessRunner, SendsStandardOutputToTheFileAndKeepsTheFirstErrorLine) {
    TempDir dir;
    const std::string out = dir.file("out.txt");
    test::writeFile(out, "an older and much longer content\n");
    ProcessRunner runner;
    const ProcessResult talking = runner.run(
        commandOf({"sh", "-c", "echo hello; printf 'first\\r\\nsecond\\n' >&2"}, out), 6);
    EXPECT_EQ(talking.status, Status::Exited);
    EXPECT_EQ(talking.exitCode, 0);
    EXPECT_EQ(readWholeFile(out), "hello\n");
    EXPECT_EQ(talking.errorLine, "first");

    const ProcessResult quiet = runner.run(commandOf({"true"}, out), 6);
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.errorLine, "");
    EXPECT_EQ(readWholeFile(out), "");
}

TEST(ProcessRunner, PassesEveryArgumentAsItIsWithoutAShell) {
    TempDir dir;
    const std::string out = dir.file("out.txt");
    const std::vector<std::string> tricky = {"$(touch pwned)", "`touch pwned`", "a  b",
                                             "\"q\"",          "; touch pwned", "*"};
    std::vector<std::string> arguments = {"printf", "[%s]\\n"};
    arguments.insert(arguments.end(), tricky.begin(), tricky.end());
    const ProcessResult result = ProcessRunner().run(commandOf(arguments, out), 6);
    ASSERT_EQ(result.status, Status::Exited);
    ASSERT_EQ(result.exitCode, 0);
    std::string expected;
    for (const std::string& argument : tricky)
        expected += "[" + argument + "]\n";
    EXPECT_EQ(readWholeFile(out), expected);
    EXPECT_FALSE(test::exists("pwned"));
}

TEST(ProcessRunner, RunsTheProgramInTheCLocale) {
    test::ScopedEnv language("LC_ALL", "de_DE.UTF-8");
    TempDir dir;
    const std::string out = dir.file("out.txt");
    ASSERT_EQ(ProcessRunner().run(commandOf({"sh", "-c", "echo \"$LC_ALL\""}, out), 6).exitCode, 0);
    EXPECT_EQ(readWholeFile(out), "C\n");
}

TEST(ProcessRunner, AMissingProgramIsNotFoundAndStillEmptiesTheOutputFile) {
    TempDir dir;
    const std::string out = dir.file("out.dis");
    test::writeFile(out, "stale listing");
    ProcessRunner runner;
    const ProcessResult missing = runner.run(commandOf({"no-such-objdump.exe", "-D"}, out), 6);
    EXPECT_EQ(missing.status, Status::NotFound);
    EXPECT_EQ(missing.exitCode, kProgramNotFound);
    EXPECT_EQ(kProgramNotFound, 127);
    EXPECT_EQ(readWholeFile(out), "");
    EXPECT_NE(missing.errorLine.find("no-such-objdump.exe"), std::string::npos)
        << missing.errorLine;

    const ProcessResult none = runner.run(commandOf({}, out), 6);
    EXPECT_EQ(none.status, Status::NotFound);
    EXPECT_EQ(none.exitCode, kProgramNotFound);
}

TEST(ProcessRunner, AnOutputFileThatCannotBeCreatedIsAFailedRun) {
    TempDir dir;
    const ProcessResult result =
        ProcessRunner().run(commandOf({"true"}, dir.file("missing/out.dis")), 6);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errorLine.find("missing/out.dis"), std::string::npos) << result.errorLine;
}

TEST(ProcessRunner, AProgramThatCannotRunIsReportedLikeAShellWould) {
    test::ToolFolder tools;
    tools.addFile("garbage-objdump",
                  "\x7f"
                  "not a program",
                  0755);
    const ProcessResult result = ProcessRunner().run(commandOf({"garbage-objdump"}), 6);
    EXPECT_EQ(result.status, Status::CouldNotStart);
    EXPECT_EQ(result.exitCode, kProgramNotRunnable);
    EXPECT_EQ(kProgramNotRunnable, 126);
    EXPECT_FALSE(result.errorLine.empty());
}

// A process that exists and is not a zombie.
bool isRunning(pid_t pid) {
    if (::kill(pid, 0) != 0)
        return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
}

TEST(ProcessRunner, AProcessStillRunningAfterTheWaitTimesOutAndIsEndedWithItsChildren) {
    TempDir dir;
    const std::string pidFile = dir.file("pids");
    // Long enough for the shell to have written the ids on a loaded machine.
    ProcessRunner runner(std::chrono::milliseconds{5000});
    const auto start = std::chrono::steady_clock::now();
    // The shell and the program it started both go.
    const ProcessResult result =
        runner.run(commandOf({"sh", "-c", "sleep 30 & echo $$ $! > '" + pidFile + "'; wait"}), 6);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result.status, Status::TimedOut);
    EXPECT_EQ(result.exitCode, kStillActive);
    EXPECT_EQ(kStillActive, 259);
    EXPECT_GE(waited, std::chrono::milliseconds{5000});
    EXPECT_LT(waited, std::chrono::seconds{25}) << "the wait must end at its bound";

    std::istringstream pids(readWholeFile(pidFile));
    pid_t shell = 0;
    pid_t sleeper = 0;
    pids >> shell >> sleeper;
    ASSERT_GT(shell, 0);
    ASSERT_GT(sleeper, 0);
    EXPECT_NE(::kill(shell, 0), 0) << "the program must not outlive the wait";
    // The grandchild is no child of ours: it may stay a zombie until whoever
    // adopted it reaps it, but it must not run on.
    for (int i = 0; i < 500 && isRunning(sleeper); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds{20});
    EXPECT_FALSE(isRunning(sleeper)) << "what the program started must end with it";
}

// What a caller reading the output as it comes is handed: every piece in
// order, the same bytes the file gets, and the first ones while the program
// still runs (here it waits for a file that only the caller's reading of
// its first line makes, so a hand-over at the end would never come).
TEST(ProcessRunnerOutput, HandsOverThePiecesWhileTheProgramRunsAndWritesTheFile) {
    TempDir dir;
    const std::string flag = dir.file("first line seen");
    struct Case {
        const char* name;
        std::string script;
        std::string expected;
    };
    std::string counted;
    for (int k = 1; k <= 200000; ++k)
        counted += std::to_string(k) + "\n";
    const Case cases[] = {
        {"nothing", "true", ""},
        {"a line, a wait for the reader, a line",
         "echo first; while [ ! -e '" + flag + "' ]; do sleep 0.01; done; echo second",
         "first\nsecond\n"},
        {"more than a pipe holds", "seq 1 200000", counted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.file("out.txt");
        ProcessCommand command = commandOf({"sh", "-c", c.script}, out);
        std::string handed;
        std::size_t pieces = 0;
        command.onOutput = [&](std::string_view piece) {
            handed += piece;
            ++pieces;
            if (handed.find('\n') != std::string::npos)
                test::writeFile(flag, "");
        };
        ProcessRunner runner(std::chrono::milliseconds{20000});
        const ProcessResult result = runner.run(command, 6);
        EXPECT_EQ(result.status, Status::Exited);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(handed, c.expected);
        EXPECT_EQ(readWholeFile(out), c.expected);
        EXPECT_EQ(pieces == 0, c.expected.empty());
    }
}

TEST(ProcessRunnerOutput, ACancelWhileTheOutputFlowsEndsTheProgram) {
    TempDir dir;
    ProcessRunner runner(std::chrono::milliseconds{20000});
    ProcessCommand command = commandOf({"sh", "-c", "while :; do echo flood; done"}, dir.file("o"));
    std::size_t handed = 0;
    command.onOutput = [&](std::string_view piece) {
        handed += piece.size();
        if (handed > 100000)
            runner.requestCancel();
    };
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult result = runner.run(command, 6);
    EXPECT_EQ(result.status, Status::Cancelled);
    EXPECT_EQ(result.exitCode, kStillActive);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds{15});
}

// A program that exits while something it started holds the pipe open: the
// run ends with the program, not when that other process lets go.
TEST(ProcessRunnerOutput, ARunEndsWithTheProgramEvenWhenItsChildHoldsTheOutput) {
    TempDir dir;
    const std::string pidFile = dir.file("pid");
    ProcessRunner runner(std::chrono::milliseconds{20000});
    ProcessCommand command = commandOf(
        {"sh", "-c", "sleep 30 & echo $! > '" + pidFile + "'; echo done"}, dir.file("out"));
    std::string handed;
    command.onOutput = [&](std::string_view piece) { handed += piece; };
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult result = runner.run(command, 6);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds{15});
    EXPECT_EQ(result.status, Status::Exited);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(handed, "done\n");
    pid_t sleeper = 0;
    std::istringstream(readWholeFile(pidFile)) >> sleeper;
    ASSERT_GT(sleeper, 0);
    for (int i = 0; i < 500 && isRunning(sleeper); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds{20});
    EXPECT_FALSE(isRunning(sleeper)) << "what the program started must end with it";
}

TEST(StartFailure, CarriesNumberDescriptionAndSource) {
    EXPECT_EQ(startFailureText(kErrShellFailed, "Failed to Shell child process"),
              "Failed to Shell child process (ShellSync error -2147177982)");
    EXPECT_EQ(kErrShellFailed, -2147177982);
    EXPECT_EQ(kErrExitCodeUnavailable, -2147177984);
    EXPECT_EQ(kErrOpenProcess, -2147177983);
    EXPECT_EQ(kMinimizedNoFocus, 6);
}

} // namespace
} // namespace travonix
