#include "platform/ShellAndWait.h"
#include "PlatformTestSupport.h"
#include "platform/ProgramSearch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include <chrono>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace travonix {
namespace {

using modShellAndWait::ProcessRunner;
using test::readWholeFile;
using test::TempDir;

ShellCommand run(std::vector<std::string> arguments, std::string stdoutFile = {}) {
    ShellCommand command;
    command.arguments = std::move(arguments);
    command.standardOutputFile = std::move(stdoutFile);
    return command;
}

TEST(ShellSync, GivesTheExitCodeOfTheProcess) {
    struct Case {
        const char* script;
        std::int32_t exitCode;
    };
    const Case cases[] = {
        {"exit 0", 0}, {"exit 1", 1}, {"exit 3", 3}, {"exit 255", 255}, {"kill -9 $$", 128 + 9}};
    ProcessRunner runner;
    for (const Case& c : cases)
        EXPECT_EQ(runner.ShellSync(run({"sh", "-c", c.script}), 6), c.exitCode) << c.script;
    EXPECT_EQ(modShellAndWait::ShellSync(run({"sh", "-c", "exit 2"}), 6), 2);
}

TEST(ShellSync, SendsStandardOutputToTheFileAndKeepsTheFirstErrorLine) {
    TempDir dir;
    const std::string out = dir.file("out.txt");
    test::writeFile(out, "an older and much longer content\n");
    ProcessRunner runner;
    EXPECT_EQ(runner.ShellSync(
                  run({"sh", "-c", "echo hello; printf 'first\\r\\nsecond\\n' >&2"}, out), 6),
              0);
    EXPECT_EQ(readWholeFile(out), "hello\n");
    EXPECT_EQ(runner.lastErrorLine(), "first");

    EXPECT_EQ(runner.ShellSync(run({"true"}, out), 6), 0);
    EXPECT_EQ(runner.lastErrorLine(), "");
}

TEST(ShellSync, PassesEveryArgumentAsItIsWithoutAShell) {
    TempDir dir;
    const std::string out = dir.file("out.txt");
    const std::vector<std::string> tricky = {"$(touch pwned)", "`touch pwned`", "a  b",
                                             "\"q\"",          "; touch pwned", "*"};
    std::vector<std::string> arguments = {"printf", "[%s]\\n"};
    arguments.insert(arguments.end(), tricky.begin(), tricky.end());
    ASSERT_EQ(ProcessRunner().ShellSync(run(arguments, out), 6), 0);
    std::string expected;
    for (const std::string& argument : tricky)
        expected += "[" + argument + "]\n";
    EXPECT_EQ(readWholeFile(out), expected);
    EXPECT_FALSE(test::exists("pwned"));
}

TEST(ShellSync, RunsTheProgramInTheCLocale) {
    test::ScopedEnv language("LC_ALL", "de_DE.UTF-8");
    TempDir dir;
    const std::string out = dir.file("out.txt");
    ASSERT_EQ(ProcessRunner().ShellSync(run({"sh", "-c", "echo \"$LC_ALL\""}, out), 6), 0);
    EXPECT_EQ(readWholeFile(out), "C\n");
}

TEST(ShellSync, AMissingProgramStillEmptiesTheOutputFile) {
    TempDir dir;
    const std::string out = dir.file("out.dis");
    test::writeFile(out, "stale listing");
    ProcessRunner runner;
    EXPECT_EQ(runner.ShellSync(run({"no-such-objdump.exe", "-D"}, out), 6),
              modShellAndWait::kProgramNotFound);
    EXPECT_EQ(readWholeFile(out), "");
    EXPECT_NE(runner.lastErrorLine().find("no-such-objdump.exe"), std::string::npos);

    EXPECT_EQ(runner.ShellSync(run({}, out), 6), modShellAndWait::kProgramNotFound);
}

TEST(ShellSync, AnOutputFileThatCannotBeCreatedIsAFailedRun) {
    TempDir dir;
    ProcessRunner runner;
    EXPECT_EQ(runner.ShellSync(run({"true"}, dir.file("missing/out.dis")), 6), 1);
    EXPECT_NE(runner.lastErrorLine().find("missing/out.dis"), std::string::npos);
}

TEST(ShellSync, AProgramThatCannotRunIsReportedLikeAShellWould) {
    test::ToolFolder tools;
    tools.addFile("garbage-objdump",
                  "\x7f"
                  "not a program",
                  0755);
    ProcessRunner runner;
    EXPECT_EQ(runner.ShellSync(run({"garbage-objdump"}), 6), modShellAndWait::kProgramNotRunnable);
    EXPECT_FALSE(runner.lastErrorLine().empty());
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

TEST(ShellSync, AProcessStillRunningAfterTheWaitGivesStillActiveAndIsEnded) {
    TempDir dir;
    const std::string pidFile = dir.file("pids");
    ProcessRunner runner(std::chrono::milliseconds{1000});
    const auto start = std::chrono::steady_clock::now();
    // The shell and the program it started both go.
    const std::int32_t code =
        runner.ShellSync(run({"sh", "-c", "sleep 30 & echo $$ $! > '" + pidFile + "'; wait"}), 6);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(code, modShellAndWait::kStillActive);
    EXPECT_GE(waited, std::chrono::milliseconds{1000});

    std::istringstream pids(readWholeFile(pidFile));
    pid_t shell = 0;
    pid_t sleeper = 0;
    pids >> shell >> sleeper;
    ASSERT_GT(shell, 0);
    ASSERT_GT(sleeper, 0);
    EXPECT_NE(::kill(shell, 0), 0) << "the program must not outlive the wait";
    // The grandchild is no child of ours: it may stay a zombie until whoever
    // adopted it reaps it, but it must not run on.
    for (int i = 0; i < 50 && isRunning(sleeper); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds{20});
    EXPECT_FALSE(isRunning(sleeper)) << "what the program started must end with it";
}

TEST(ShellError, CarriesNumberDescriptionAndSource) {
    const ShellError error(modShellAndWait::kErrShellFailed, "Failed to Shell child process");
    EXPECT_EQ(error.number(), -2147177982);
    EXPECT_EQ(error.description(), "Failed to Shell child process");
    EXPECT_EQ(error.source(), "ShellSync");
    EXPECT_EQ(modShellAndWait::kErrExitCodeUnavailable, -2147177984);
    EXPECT_EQ(modShellAndWait::kErrOpenProcess, -2147177983);
}

TEST(FindProgram, SearchesThePathAndRetriesWithoutExe) {
    test::ToolFolder tools;
    tools.addWrapper("xc32-objdump", "exit 0");
    tools.addFile("not-runnable", "#!/bin/sh\n", 0644);
    const std::string searchPath = ":/nonexistent:" + tools.bin();
    const std::string expected = tools.bin() + "/xc32-objdump";
    EXPECT_EQ(findProgram("xc32-objdump", searchPath), expected);
    EXPECT_EQ(findProgram("xc32-objdump.exe", searchPath), expected);
    EXPECT_EQ(findProgram("xc32-objdump.EXE", searchPath), expected);
    EXPECT_EQ(findProgram(expected + ".exe", ""), expected);
    EXPECT_EQ(findProgram("not-runnable", searchPath), std::nullopt);
    EXPECT_EQ(findProgram("xc32-objdump.elf", searchPath), std::nullopt);
    EXPECT_EQ(findProgram(".exe", searchPath), std::nullopt);
    EXPECT_EQ(findProgram("", searchPath), std::nullopt);
    // The folder itself is not a program.
    EXPECT_EQ(findProgram(tools.bin(), searchPath), std::nullopt);
}

} // namespace
} // namespace travonix
