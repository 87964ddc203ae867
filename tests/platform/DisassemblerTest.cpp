#include "platform/Disassembler.h"
#include "PlatformTestSupport.h"
#include "listing/ShowDis.h"
#include "platform/QtEnvironment.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

namespace travonix {
namespace {

namespace fs = std::filesystem;
using modShellAndWait::ProcessRunner;

// The real runner, recording what it was asked to run; optionally raising an
// error in its place.
class RecordingRunner : public ProcessRunner {
  public:
    using ProcessRunner::ProcessRunner;
    std::vector<ShellCommand> commands;
    std::vector<std::int32_t> styles;
    std::optional<ShellError> raise;

    std::int32_t ShellSync(const ShellCommand& command, std::int32_t windowStyle) override {
        commands.push_back(command);
        styles.push_back(windowStyle);
        if (raise)
            throw *raise;
        return ProcessRunner::ShellSync(command, windowStyle);
    }
};

std::vector<std::pair<std::string, int>> namesAndMarks(const WindowState& state) {
    std::vector<std::pair<std::string, int>> out;
    for (const FunctionEntry& f : state.funcs)
        out.emplace_back(f.name, f.dataMark);
    return out;
}

std::vector<std::string> listingTexts(const WindowState& state) {
    std::vector<std::string> out;
    for (const ListingItem& item : state.showFile)
        out.push_back(item.text);
    return out;
}

class Disassembler : public ::testing::Test {
  protected:
    Disassembler() : form(ui, env) {
        form.options = defaultOptions();
        tools.addObjdump("xc32-objdump");
        tools.addObjdump("pic32-objdump");
    }

    // A copy of the calls fixture ELF in `folder` (created), named `name`.
    std::string placeElf(const std::string& folder, const std::string& name = "calls.elf") {
        fs::create_directories(folder);
        const std::string path = folder + "/" + name;
        fs::copy_file(test::fixturePath("calls.elf"), path);
        return path;
    }

    void useFiles(const std::string& elf, const std::string& dis) {
        form.options.ELFFileName = elf;
        form.options.DISFileName = dis;
    }

    // What the listing reader makes of the committed listing of the same ELF,
    // read with this test's options.
    WindowState readFixtureListing() {
        test::ScriptedServices otherUi;
        QtEnvironment otherEnv;
        Form reference(otherUi, otherEnv);
        reference.options = form.options;
        reference.options.DISFileName = test::fixturePath("calls.dis");
        cmdShowDIS_Click(reference);
        return reference.state;
    }

    void expectNothingRan() {
        EXPECT_TRUE(runner.commands.empty());
        EXPECT_FALSE(tools.ran("xc32-objdump"));
    }

    // The report of a failure without a message box.
    void expectReportOnly(std::initializer_list<const char*> parts) {
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_EQ(ui.statusReports.size(), 1U);
        EXPECT_EQ(ui.statusReports[0], form.state.statusLine);
        for (const char* part : parts)
            EXPECT_NE(form.state.statusLine.find(part), std::string::npos)
                << "missing \"" << part << "\" in: " << form.state.statusLine;
    }

    test::TempDir work;
    test::ToolFolder tools;
    test::ScriptedServices ui;
    QtEnvironment env;
    Form form;
    RecordingRunner runner;
};

TEST_F(Disassembler, TurnsAnElfIntoTheListingAndItsFunctionsWhateverThePathHolds) {
    // Blanks, quotes and shell syntax in the folder name: nothing of it may run.
    const fs::path previous = fs::current_path();
    fs::current_path(work.path());
    const std::string folder = work.file("a b $(mkdir pwned1) `mkdir pwned2` \"q\" ; mkdir pwned3");
    const std::string elf = placeElf(folder);
    const std::string dis = folder + "/calls.dis";
    useFiles(elf, dis);
    form.options.DisAsmCmd = "xc32-objdump.exe -D -z";
    form.options.LastELFDateTime = "before";

    cmdDisassemble_Click(form, runner);
    fs::current_path(previous);

    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(form.state.statusLine, "");
    EXPECT_EQ(test::readWholeFile(tools.argsLog("xc32-objdump")), "-D\n-z\n" + elf + "\n");
    EXPECT_EQ(test::readWholeFile(tools.envLog("xc32-objdump")), "C\n");
    for (const char* name : {"pwned1", "pwned2", "pwned3"})
        EXPECT_FALSE(test::exists(work.file(name))) << name;
    EXPECT_EQ(form.options.LastELFDateTime, env.fileModifiedText(elf).value_or("?"));

    ASSERT_EQ(runner.commands.size(), 1U);
    // objdump writes beside the listing; the listing is replaced once it succeeded.
    EXPECT_EQ(runner.commands[0].commandLine, "cmd.exe /C xc32-objdump.exe -D -z \"" + elf +
                                                  "\" >\"" + dis + ".travonix-partial\"");
    EXPECT_FALSE(test::exists(dis + ".travonix-partial"));
    EXPECT_EQ(runner.styles[0], 6);

    const WindowState expected = readFixtureListing();
    ASSERT_FALSE(expected.funcs.empty());
    EXPECT_EQ(namesAndMarks(form.state), namesAndMarks(expected));
    EXPECT_EQ(listingTexts(form.state), listingTexts(expected));
    EXPECT_EQ(form.state.funcs.front().name, "crc_step");
}

TEST_F(Disassembler, ChoosingMPLabXThenMPLabRunsEachToolchainOnce) {
    const std::string elf = placeElf(work.file("proj"));
    useFiles(elf, work.file("proj/calls.dis"));

    SelectToolchain(form, 0, runner);
    EXPECT_TRUE(form.options.MPLabX);
    EXPECT_EQ(form.options.DisAsmCmd, "xc32-objdump.exe -D");
    EXPECT_FALSE(form.state.funcs.empty());

    SelectToolchain(form, 1, runner);
    EXPECT_TRUE(form.options.MPLab);
    EXPECT_FALSE(form.options.MPLabX);
    EXPECT_EQ(form.options.DisAsmCmd, "pic32-objdump.exe -D");
    EXPECT_EQ(form.state.showFileToolTip, "Disassembly of .ELF");
    ASSERT_EQ(runner.commands.size(), 2U);
    EXPECT_EQ(runner.commands[1].arguments.front(), "pic32-objdump.exe");
    // The ".exe" names found the wrappers without it.
    EXPECT_EQ(test::readWholeFile(tools.argsLog("xc32-objdump")), "-D\n" + elf + "\n");
    EXPECT_EQ(test::readWholeFile(tools.argsLog("pic32-objdump")), "-D\n" + elf + "\n");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(form.state.funcs.empty());
}

TEST_F(Disassembler, AnotherToolchainIndexClearsTheChoiceButKeepsTheCommand) {
    const std::string elf = placeElf(work.file("proj"));
    useFiles(elf, work.file("proj/calls.dis"));
    form.options.MPLabX = true;
    form.options.DisAsmCmd = "xc32-objdump.exe -D -z ";

    SelectToolchain(form, 7, runner);
    EXPECT_FALSE(form.options.MPLab);
    EXPECT_FALSE(form.options.MPLabX);
    EXPECT_EQ(form.options.DisAsmCmd, "xc32-objdump.exe -D -z ");
    EXPECT_EQ(form.state.showFileToolTip, "Disassembly of .ELF");
    ASSERT_EQ(runner.commands.size(), 1U);
    EXPECT_EQ(runner.commands[0].commandLine, "cmd.exe /C xc32-objdump.exe -D -z  \"" + elf +
                                                  "\" >\"" + work.file("proj/calls.dis") +
                                                  ".travonix-partial\"");
    EXPECT_FALSE(form.state.funcs.empty());
}

TEST_F(Disassembler, ChecksTheNamesBeforeRunningAnything) {
    form.options.LastELFDateTime = "before";
    cmdDisassemble_Click(form, runner);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "No .ELF file specified, use .ELF button to pick a .ELF file");
    EXPECT_EQ(ui.messages[0].title, "Travonix");

    const std::string missing = work.file("gone dir/demo.elf");
    useFiles(missing, work.file("gone dir/demo.dis"));
    cmdDisassemble_Click(form, runner);
    ASSERT_EQ(ui.messages.size(), 2U);
    EXPECT_EQ(ui.messages[1].text,
              missing + " does not exist, use .ELF button to pick a .ELF file");
    EXPECT_EQ(form.options.LastELFDateTime, "before");

    const std::string elf = placeElf(work.file("proj"));
    useFiles(elf, "");
    cmdDisassemble_Click(form, runner);
    ASSERT_EQ(ui.messages.size(), 3U);
    EXPECT_EQ(ui.messages[2].text, "No .DIS file specified, use .ELF button to pick a .ELF file");
    EXPECT_EQ(ui.messages[2].title, "Travonix");
    // The ELF checks were passed: its time is noted even though nothing runs.
    EXPECT_EQ(form.options.LastELFDateTime, env.fileModifiedText(elf).value_or("?"));
    expectNothingRan();
}

TEST_F(Disassembler, NeverWritesTheListingOverTheElfFile) {
    const std::string elf = placeElf(work.file("proj"), "calls");
    const std::string original = test::readWholeFile(elf);
    for (const std::string& dis : {elf, work.file("proj/./calls")}) {
        ui.messages.clear();
        useFiles(elf, dis);
        cmdDisassemble_Click(form, runner);
        ASSERT_EQ(ui.messages.size(), 1U) << dis;
        EXPECT_NE(ui.messages[0].text.find(dis), std::string::npos);
        EXPECT_NE(ui.messages[0].text.find("overwrite the .ELF file"), std::string::npos);
    }
    expectNothingRan();
    EXPECT_EQ(test::readWholeFile(elf), original);
}

TEST_F(Disassembler, AFailingDisassemblerLeavesTheListingAndReportsItsError) {
    const std::string elf = work.file("not-an-elf.elf");
    test::writeFile(elf, "this is no ELF file\n");
    useFiles(elf, work.file("not-an-elf.dis"));
    form.options.DisAsmCmd = "xc32-objdump.exe -D";
    form.state.showFile = {{"earlier listing line", false}};

    cmdDisassemble_Click(form, runner);
    expectReportOnly({"xc32-objdump.exe", "exit code 1", "file format not recognized"});
    EXPECT_EQ(listingTexts(form.state), std::vector<std::string>{"earlier listing line"});
}

TEST_F(Disassembler, AMissingOrFailingProgramIsReportedAndTheListingOnDiskStays) {
    const std::string elf = placeElf(work.file("proj"));
    const std::string dis = work.file("proj/calls.dis");
    const std::string good = test::readWholeFile(test::fixturePath("calls.dis"));
    test::writeFile(dis, good);
    useFiles(elf, dis);
    tools.addWrapper("half-objdump", "echo 'half a listing'; echo 'out of memory' >&2; exit 3");
    struct Case {
        const char* command;
        std::initializer_list<const char*> report;
    };
    const Case cases[] = {
        {"no-such-objdump.exe -D -z ", {"no-such-objdump.exe", "exit code 127", "not found"}},
        {"half-objdump -D", {"half-objdump", "exit code 3", "out of memory"}},
    };
    for (const Case& c : cases) {
        form.options.DisAsmCmd = c.command;
        form.state.showFile = {{"earlier listing line", false}};
        ui.statusReports.clear();
        cmdDisassemble_Click(form, runner);
        expectReportOnly(c.report);
        EXPECT_EQ(test::readWholeFile(dis), good) << c.command;
        EXPECT_FALSE(test::exists(dis + ".travonix-partial")) << c.command;
        EXPECT_EQ(listingTexts(form.state), std::vector<std::string>{"earlier listing line"});
    }
}

TEST_F(Disassembler, ADisassemblerStillRunningAfterTheWaitIsEndedAndWritesNoMore) {
    const std::string pidFile = work.file("pid");
    // The wrapper's own child keeps writing: it must end with the wrapper.
    tools.addWrapper("slow-objdump",
                     "echo $$ > '" + pidFile + "'; (while :; do echo x; sleep 0.05; done) & wait");
    const std::string elf = placeElf(work.file("proj"));
    const std::string dis = work.file("proj/calls.dis");
    test::writeFile(dis, "listing of the last good build");
    useFiles(elf, dis);
    form.options.DisAsmCmd = "slow-objdump -D";
    RecordingRunner quick(std::chrono::milliseconds{1000});

    cmdDisassemble_Click(form, quick);
    expectReportOnly({"slow-objdump", "exit code 259"});
    EXPECT_TRUE(form.state.showFile.empty());

    const pid_t pid = std::stoi(test::readWholeFile(pidFile));
    EXPECT_NE(::kill(pid, 0), 0) << "the disassembler must not outlive the wait";
    std::this_thread::sleep_for(std::chrono::milliseconds{200});
    EXPECT_EQ(test::readWholeFile(dis), "listing of the last good build");
    EXPECT_FALSE(test::exists(dis + ".travonix-partial"));
}

TEST_F(Disassembler, ARunnerErrorStillLoadsAListingAlreadyThere) {
    const std::string elf = placeElf(work.file("proj"));
    const std::string dis = work.file("proj/calls.dis");
    useFiles(elf, dis);
    runner.raise = ShellError(modShellAndWait::kErrShellFailed, "Failed to Shell child process");

    cmdDisassemble_Click(form, runner);
    expectReportOnly({"could not be started", "Failed to Shell child process"});
    EXPECT_TRUE(form.state.funcs.empty()) << "no .DIS file yet: nothing to load";

    fs::copy_file(test::fixturePath("calls.dis"), dis);
    ui.statusReports.clear();
    cmdDisassemble_Click(form, runner);
    EXPECT_EQ(namesAndMarks(form.state), namesAndMarks(readFixtureListing()));
    EXPECT_FALSE(form.state.funcs.empty());
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace travonix
