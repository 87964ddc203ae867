// What a terminal sees of a run: the disassembly's progress, then the files
// written, each on one line written over itself and blanked before the
// results; stdout and the messages on stderr are what they are without it.

#include "cli/CliRun.h"
#include "platform/LocalEnvironment.h"
#include "platform/ProcessRunner.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace travonix::cli {
namespace {

using namespace std::chrono_literals;

struct Outcome {
    int exitCode = 0;
    std::string out, err, terminal;
};

// The run on a copy of the calls program's ELF file, with a terminal whose
// clock moves a second at each look, so every report is due.
Outcome runOnElf(bool withTerminal) {
    test::TempDir dir;
    std::filesystem::copy_file(test::fixturePath("calls.elf"), dir.file("calls.elf"));
    const ParseOutcome parsed =
        parseCommandLine({"travonix-cli", "--objdump", "mipsel-linux-gnu-objdump -D -z", "-o",
                          dir.path(), dir.file("calls.elf")});
    EXPECT_TRUE(parsed.request.has_value()) << parsed.text;
    std::ostringstream out, err, terminal;
    std::chrono::steady_clock::time_point now{};
    ProgressLine line(terminal, [&now] { return now += 1s; });
    LocalEnvironment env;
    ProcessRunner runner;
    Outcome run;
    run.exitCode = runCli(*parsed.request, env, runner, out, err, withTerminal ? &line : nullptr);
    // The folder's name differs between the runs: the results are compared
    // without it.
    run.out = out.str();
    for (std::size_t at; (at = run.out.find(dir.path())) != std::string::npos;)
        run.out.erase(at, dir.path().size());
    run.err = err.str();
    run.terminal = terminal.str();
    return run;
}

TEST(CliProgress, ATerminalSeesTheDisassemblyAndTheFilesWritten) {
    const Outcome quiet = runOnElf(false);
    const Outcome shown = runOnElf(true);
    ASSERT_EQ(shown.exitCode, kExitOk) << shown.err;
    EXPECT_EQ(shown.out, quiet.out);
    EXPECT_EQ(shown.err, quiet.err);
    EXPECT_EQ(quiet.terminal, "");

    const std::string& t = shown.terminal;
    const std::size_t disassembling = t.find("\rDisassembling: ");
    const std::size_t writing = t.find("\rWriting: 1 of ");
    ASSERT_NE(disassembling, std::string::npos) << t;
    ASSERT_NE(writing, std::string::npos) << t;
    EXPECT_LT(disassembling, writing);
    EXPECT_NE(t.find(" functions read"), std::string::npos) << t;
    EXPECT_NE(t.find(" of about "), std::string::npos) << t;
    EXPECT_EQ(t.back(), '\r') << "blanked before the results";
    EXPECT_EQ(t.find('\n'), std::string::npos);
}

} // namespace
} // namespace travonix::cli
