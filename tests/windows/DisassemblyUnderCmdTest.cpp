#include "WindowsTestSupport.h"

#include "platform/DisassemblyCommand.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix {
namespace {

using namespace std::chrono_literals;

constexpr const char* kStandIn = TRAVONIX_STANDIN_NAME;

// Runs the disassembler's command line through the real cmd.exe, in `cwd`,
// with the stand-in's folder first on PATH, where cmd.exe finds it by name
// as it finds objdump. With `received`, the output comes through the runner's
// pipe (the line without the redirection) and is gathered there.
ProcessResult runIn(const std::string& cwd, const Options& options, const std::string& listing,
                    std::string* received = nullptr) {
    char previous[MAX_PATH + 1];
    EXPECT_GT(GetCurrentDirectoryA(sizeof previous, previous), 0U);
    EXPECT_TRUE(SetCurrentDirectoryA(cwd.c_str()));
    const std::string standIn = test::standInPath();
    std::string oldPath(GetEnvironmentVariableA("PATH", nullptr, 0), '\0');
    oldPath.resize(
        GetEnvironmentVariableA("PATH", oldPath.data(), static_cast<DWORD>(oldPath.size())));
    SetEnvironmentVariableA("PATH",
                            (standIn.substr(0, standIn.rfind('\\')) + ";" + oldPath).c_str());
    ProcessRunner runner(test::kRunBound);
    ProcessCommand command = disassemblyCommand(options, listing);
    if (received)
        command.onOutput = [received](std::string_view piece) { *received += piece; };
    ProcessResult result = runner.run(command, kMinimizedNoFocus);
    SetEnvironmentVariableA("PATH", oldPath.c_str());
    SetCurrentDirectoryA(previous);
    return result;
}

// A folder named with what cmd.exe would otherwise expand or run holds the
// ELF file and receives the listing; the stand-in copies the one into the
// other only when it was given the literal path, and cmd.exe's redirection
// lands at the literal path only when the quoting held. The same through the
// runner's pipe: the line without the redirection, the file written here.
TEST(DisassemblyUnderCmd, PathsAreTakenLiterally) {
    test::WindowsTempDir work("travonix win ");
    const char* folders[] = {
        "a%OS%b", "%PATH%", "100% & 50%",        "a%%b",   "%TEMP%\\x%OS%", "a&mkdir pwned&b",
        "a^b^^c", "a(b)c",  "a)&mkdir pwned&(b", "a!OS!b", "!PATH! & %OS%", "a'b`c;d,e",
        "x%\\%y"};
    int n = 0;
    for (const char* name : folders) {
        SCOPED_TRACE(name);
        const std::string folder = work.file(name);
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        ASSERT_FALSE(ec) << ec.message();
        Options options;
        options.disassemblerCommand = std::string(kStandIn) + " --text listing-of:";
        options.elfPath = folder + "\\in.elf";
        const std::string listing = folder + "\\out.dis";
        const std::string elfBytes = "ELF " + std::to_string(++n) + "\r\n";
        test::writeBytes(options.elfPath, elfBytes);

        for (const bool piped : {false, true}) {
            SCOPED_TRACE(piped ? "through the pipe" : "redirected");
            std::filesystem::remove(listing, ec);
            std::string received;
            const ProcessResult result =
                runIn(work.path(), options, listing, piped ? &received : nullptr);
            EXPECT_EQ(result.status, ProcessResult::Status::Exited);
            EXPECT_EQ(result.exitCode, 0);
            EXPECT_EQ(test::readWholeFile(listing), "listing-of:" + elfBytes)
                << disassemblyCommand(options, listing).pipedCommandLine;
            EXPECT_EQ(received, piped ? "listing-of:" + elfBytes : "");
            EXPECT_FALSE(std::filesystem::exists(work.file("pwned")));
        }
    }
}

// "|" cannot be part of a Windows file name; in a path it must still not
// start a pipe into another command.
TEST(DisassemblyUnderCmd, APipeInAPathRunsNothing) {
    test::WindowsTempDir work;
    Options options;
    options.disassemblerCommand = kStandIn;
    options.elfPath = work.file("a|mkdir pwned-elf|b.elf");
    (void)runIn(work.path(), options, work.file("x|mkdir pwned-dis|.dis"));
    EXPECT_EQ(test::namesIn(work.path()), "") << "no folder made, no listing written";
}

// A program path in quotes, as for a toolchain under "Program Files (x86)":
// cmd /C would drop its first quote without the extra pair around the line.
TEST(DisassemblyUnderCmd, AQuotedProgramPathWithBlanksRuns) {
    test::WindowsTempDir work;
    const std::string tools = work.file("Program Files (x86)\\tool & co");
    std::filesystem::create_directories(tools);
    const std::string program = tools + "\\objdump stand-in.exe";
    ASSERT_TRUE(CopyFileA(test::standInPath().c_str(), program.c_str(), TRUE));
    Options options;
    options.disassemblerCommand = "\"" + program + "\" --text quoted: ";
    options.elfPath = work.file("my project\\demo.elf");
    std::filesystem::create_directories(work.file("my project"));
    test::writeBytes(options.elfPath, "ELF");
    const std::string listing = work.file("my project\\demo.dis");

    const ProcessResult result = runIn(work.path(), options, listing);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(test::readWholeFile(listing), "quoted:ELF");
}

} // namespace
} // namespace travonix
