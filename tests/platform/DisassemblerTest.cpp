#include "platform/Disassembler.h"

#include "PlatformTestSupport.h"
#include "core/ListingReader.h"
#include "platform/DisassemblyCommand.h"
#include "platform/LocalEnvironment.h"
#include "platform/TemporaryName.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <thread>
#include <tuple>

namespace travonix {
namespace {

namespace fs = std::filesystem;
using Kind = Diagnostic::Kind;

// The real runner, recording what it was asked to run; optionally refusing
// to start anything, as a platform that cannot start a program does.
class RecordingRunner : public ProcessRunner {
  public:
    using ProcessRunner::ProcessRunner;
    std::vector<ProcessCommand> commands;
    std::vector<std::int32_t> styles;
    std::optional<ProcessResult> refusal;

    ProcessResult run(const ProcessCommand& command, std::int32_t windowStyle) override {
        commands.push_back(command);
        styles.push_back(windowStyle);
        if (refusal)
            return *refusal;
        return ProcessRunner::run(command, windowStyle);
    }
};

// What the reader makes of a listing file, with the options a first run reads with.
ReadResult readListingFile(const std::string& path) {
    return readListing(test::readWholeFile(path), ReadOptions{});
}

std::vector<std::tuple<std::string, bool, std::size_t>> functionsOf(const ReadResult& read) {
    std::vector<std::tuple<std::string, bool, std::size_t>> out;
    for (const FunctionEntry& f : read.functions)
        out.emplace_back(f.name, f.readOnlyData, f.headerLine);
    return out;
}

// The temporary files a run left in the listing's folder: none, once it ended.
std::size_t leftoversBeside(const std::string& listing) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(listing).parent_path()))
        count += isTemporaryName(entry.path().filename().string()) ? 1 : 0;
    return count;
}

class Disassembler : public ::testing::Test {
  protected:
    Disassembler() {
        options = defaultOptions();
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

    void useFiles(const std::string& elf, const std::string& listing) {
        options.elfPath = elf;
        options.listingPath = listing;
    }

    DisassemblyOutcome disassembleWith(ProcessRunner& chosen) {
        return travonix::disassemble(options, chosen, env);
    }
    DisassemblyOutcome disassemble() { return disassembleWith(runner); }

    void expectNothingRan() {
        EXPECT_TRUE(runner.commands.empty());
        EXPECT_FALSE(tools.ran("xc32-objdump"));
        EXPECT_FALSE(tools.ran("pic32-objdump"));
    }

    // The one error a failure reports, holding every part (and of `code`,
    // when given).
    static void expectOneError(const DisassemblyOutcome& outcome,
                               std::initializer_list<const char*> parts,
                               std::optional<DiagnosticCode> code = std::nullopt) {
        ASSERT_EQ(outcome.diagnostics.size(), 1U);
        const Diagnostic& d = outcome.diagnostics[0];
        EXPECT_EQ(d.kind, Kind::Error);
        if (code) {
            EXPECT_EQ(d.code, *code) << d.text;
        }
        EXPECT_EQ(d.text.find('\n'), std::string::npos) << d.text;
        for (const char* part : parts)
            EXPECT_NE(d.text.find(part), std::string::npos)
                << "missing \"" << part << "\" in: " << d.text;
    }

    test::TempDir work;
    test::ToolFolder tools;
    LocalEnvironment env;
    Options options;
    RecordingRunner runner;
};

TEST_F(Disassembler, TurnsAnElfIntoTheListingWhateverThePathHolds) {
    // Blanks, quotes and shell syntax in the folder name: nothing of it may run.
    const fs::path previous = fs::current_path();
    fs::current_path(work.path());
    const std::string folder = work.file("a b $(mkdir pwned1) `mkdir pwned2` \"q\" ; mkdir pwned3");
    const std::string elf = placeElf(folder);
    const std::string listing = folder + "/calls.dis";
    useFiles(elf, listing);
    options.disassemblerCommand = "xc32-objdump.exe -D -z";

    const DisassemblyOutcome outcome = disassemble();
    fs::current_path(previous);

    EXPECT_TRUE(outcome.diagnostics.empty());
    EXPECT_TRUE(outcome.readListing);
    EXPECT_EQ(test::readWholeFile(tools.argsLog("xc32-objdump")), "-D\n-z\n" + elf + "\n");
    EXPECT_EQ(test::readWholeFile(tools.envLog("xc32-objdump")), "C\n");
    for (const char* name : {"pwned1", "pwned2", "pwned3"})
        EXPECT_FALSE(test::exists(work.file(name))) << name;
    ASSERT_TRUE(outcome.elfTime.has_value());
    EXPECT_EQ(outcome.elfTime, env.fileModifiedText(elf));

    ASSERT_EQ(runner.commands.size(), 1U);
    // objdump writes into a new file beside the listing; the listing is
    // replaced once it succeeded.
    const std::string partial = runner.commands[0].standardOutputFile;
    EXPECT_EQ(fs::path(partial).parent_path(), fs::path(folder));
    EXPECT_TRUE(isTemporaryName(fs::path(partial).filename().string())) << partial;
    EXPECT_EQ(runner.commands[0].commandLine,
              "cmd.exe /C xc32-objdump.exe -D -z \"" + elf + "\" >\"" + partial + "\"");
    EXPECT_FALSE(test::exists(partial));
    EXPECT_EQ(leftoversBeside(listing), 0U);
    EXPECT_EQ(runner.styles[0], kMinimizedNoFocus);

    // The listing written is the committed listing of the same ELF, line for line.
    const ReadResult written = readListingFile(listing);
    const ReadResult expected = readListingFile(test::fixturePath("calls.dis"));
    ASSERT_FALSE(expected.functions.empty());
    EXPECT_EQ(functionsOf(written), functionsOf(expected));
    EXPECT_EQ(test::textsOf(written.listing), test::textsOf(expected.listing));
    ASSERT_FALSE(written.functions.empty());
    EXPECT_EQ(written.functions.front().name, "crc_step");
}

TEST_F(Disassembler, RunsEachToolchainsCommandFoundWithoutItsExe) {
    const std::string elf = placeElf(work.file("proj"));
    const std::string listing = work.file("proj/calls.dis");
    useFiles(elf, listing);
    struct Case {
        std::string command;
        const char* program; // the wrapper that ran
        std::string arguments;
    };
    const Case cases[] = {
        {kMPLabXCommand, "xc32-objdump", "-D\n" + elf + "\n"},
        {kMPLabCommand, "pic32-objdump", "-D\n" + elf + "\n"},
        // A command that received " -z " at start-up: its blanks are no arguments.
        {withZeroWords(kMPLabXCommand), "xc32-objdump", "-D\n-z\n" + elf + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        options.disassemblerCommand = c.command;
        fs::remove(listing);
        runner.commands.clear();

        const DisassemblyOutcome outcome = disassemble();
        EXPECT_TRUE(outcome.diagnostics.empty());
        EXPECT_TRUE(outcome.readListing);
        ASSERT_EQ(runner.commands.size(), 1U);
        EXPECT_EQ(runner.commands[0].arguments.front(), splitCommandWords(c.command).front());
        EXPECT_EQ(runner.commands[0].commandLine, "cmd.exe /C " + c.command + " \"" + elf +
                                                      "\" >\"" +
                                                      runner.commands[0].standardOutputFile + "\"");
        EXPECT_EQ(test::readWholeFile(tools.argsLog(c.program)), c.arguments);
        EXPECT_FALSE(readListingFile(listing).functions.empty());
    }
}

TEST_F(Disassembler, ChecksTheNamesBeforeRunningAnything) {
    const std::string missing = work.file("gone dir/demo.elf");
    const std::string elf = placeElf(work.file("proj"));
    struct Case {
        std::string elf;
        std::string listing;
        std::string message;
        bool elfTimeNoted; // the ELF checks were passed
        DiagnosticCode code;
        std::string file; // the diagnostic is about
    };
    const Case cases[] = {
        {"", work.file("proj/calls.dis"),
         "No .ELF file specified, use .ELF button to pick a .ELF file", false,
         DiagnosticCode::NoElfChosen, ""},
        {missing, work.file("gone dir/demo.dis"),
         missing + " does not exist, use .ELF button to pick a .ELF file", false,
         DiagnosticCode::ElfMissing, missing},
        {elf, "", "No .DIS file specified, use .ELF button to pick a .ELF file", true,
         DiagnosticCode::NoListingChosen, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        useFiles(c.elf, c.listing);
        const DisassemblyOutcome outcome = disassemble();
        ASSERT_EQ(outcome.diagnostics.size(), 1U);
        EXPECT_EQ(outcome.diagnostics[0].kind, Kind::Message);
        EXPECT_EQ(outcome.diagnostics[0].text, c.message);
        EXPECT_EQ(outcome.diagnostics[0].code, c.code);
        EXPECT_EQ(outcome.diagnostics[0].file, c.file);
        EXPECT_FALSE(outcome.readListing);
        if (c.elfTimeNoted) {
            ASSERT_TRUE(outcome.elfTime.has_value());
            EXPECT_EQ(outcome.elfTime, env.fileModifiedText(elf));
        } else {
            EXPECT_EQ(outcome.elfTime, std::nullopt);
        }
    }
    expectNothingRan();
}

TEST_F(Disassembler, NeverWritesTheListingOverTheElfFile) {
    const std::string elf = placeElf(work.file("proj"), "calls");
    const std::string original = test::readWholeFile(elf);
    fs::create_symlink(elf, work.file("proj/link.dis"));
    for (const std::string& listing :
         {elf, work.file("proj/./calls"), work.file("proj/link.dis")}) {
        SCOPED_TRACE(listing);
        useFiles(elf, listing);
        const DisassemblyOutcome outcome = disassemble();
        ASSERT_EQ(outcome.diagnostics.size(), 1U);
        EXPECT_EQ(outcome.diagnostics[0].kind, Kind::Message);
        EXPECT_EQ(outcome.diagnostics[0].text,
                  listing + " is both the .ELF file and the .DIS file: disassembling would "
                            "overwrite the .ELF file, use .ELF button to pick a .ELF file whose "
                            "name holds .elf");
        EXPECT_EQ(outcome.diagnostics[0].code, DiagnosticCode::ListingIsElf);
        EXPECT_EQ(outcome.diagnostics[0].file, listing);
        EXPECT_FALSE(outcome.readListing);
        EXPECT_EQ(leftoversBeside(listing), 0U);
    }
    expectNothingRan();
    EXPECT_EQ(test::readWholeFile(elf), original);
}

TEST_F(Disassembler, AFailingDisassemblerWritesNoListingAndReportsItsError) {
    const std::string elf = work.file("not-an-elf.elf");
    test::writeFile(elf, "this is no ELF file\n");
    const std::string listing = work.file("not-an-elf.dis");
    useFiles(elf, listing);
    options.disassemblerCommand = "xc32-objdump.exe -D";

    const DisassemblyOutcome outcome = disassemble();
    expectOneError(outcome, {"xc32-objdump.exe", "exit code 1", "file format not recognized"},
                   DiagnosticCode::DisassemblerFailed);
    EXPECT_FALSE(outcome.readListing);
    EXPECT_TRUE(outcome.elfTime.has_value());
    EXPECT_TRUE(tools.ran("xc32-objdump"));
    EXPECT_FALSE(test::exists(listing));
    EXPECT_EQ(leftoversBeside(listing), 0U);
}

// The receiver reads the listing as objdump writes it: the whole text of a
// successful run, which is then `fresh`; a run that fails after writing
// leaves the listing as it was and nothing fresh.
TEST_F(Disassembler, HandsTheListingToItsReaderAsItIsWritten) {
    const std::string elf = placeElf(work.file("proj"));
    const std::string listing = work.file("proj/calls.dis");
    useFiles(elf, listing);
    options.disassemblerCommand = "xc32-objdump -D -z";
    std::string received;
    const ListingReceiver receiver = [&](std::string_view piece) { received += piece; };

    const DisassemblyOutcome written = travonix::disassemble(options, runner, env, receiver);
    EXPECT_TRUE(written.diagnostics.empty());
    EXPECT_TRUE(written.fresh);
    EXPECT_EQ(received, test::readWholeFile(listing));
    EXPECT_EQ(readListing(received, ReadOptions{}).functions.size(),
              readListingFile(test::fixturePath("calls.dis")).functions.size());

    tools.addWrapper("failing-objdump", "echo 'half a listing'; exit 2");
    options.disassemblerCommand = "failing-objdump -D -z";
    received.clear();
    const DisassemblyOutcome failed = travonix::disassemble(options, runner, env, receiver);
    EXPECT_FALSE(failed.fresh);
    EXPECT_FALSE(failed.readListing);
    EXPECT_EQ(received, "half a listing\n");
    EXPECT_EQ(readListingFile(listing).functions.size(),
              readListingFile(test::fixturePath("calls.dis")).functions.size())
        << "the listing from before stays";
    EXPECT_EQ(leftoversBeside(listing), 0U);
}

// The size the window's progress measures against: of the order of the
// listing objdump writes (zero words, as in this program's gap, make
// shorter lines than code); nothing for what is no ELF file.
TEST_F(Disassembler, GuessesTheListingsSizeFromTheElfSections) {
    const std::uint64_t real = fs::file_size(test::fixturePath("farcall.dis"));
    const std::optional<std::uint64_t> guess =
        expectedListingBytes(env, test::fixturePath("farcall.elf"));
    ASSERT_TRUE(guess.has_value());
    EXPECT_GT(*guess, real * 6 / 10);
    EXPECT_LT(*guess, real * 16 / 10);

    const std::string elf = test::readWholeFile(test::fixturePath("calls.elf"));
    const std::string notElf = work.file("not.elf");
    const std::string cut = work.file("cut.elf");
    const std::string bigEndian = work.file("big.elf");
    test::writeFile(notElf, "this is no ELF file\n");
    test::writeFile(cut, elf.substr(0, elf.size() - 10)); // the section table runs past the end
    std::string swapped = elf;
    swapped[5] = 2;
    test::writeFile(bigEndian, swapped);
    // .text (the first section after the null one) claiming a gigabyte.
    const std::string claiming = work.file("claiming.elf");
    std::string huge = elf;
    const auto tableAt = static_cast<unsigned char>(huge[32]) |
                         static_cast<unsigned char>(huge[33]) << 8 |
                         static_cast<unsigned char>(huge[34]) << 16;
    huge[tableAt + 40 + 20 + 3] = 0x40;
    test::writeFile(claiming, huge);
    for (const std::string& path : {notElf, cut, bigEndian, claiming, work.file("missing.elf")})
        EXPECT_FALSE(expectedListingBytes(env, path).has_value()) << path;
}

TEST_F(Disassembler, AMissingOrFailingProgramIsReportedAndTheListingOnDiskStays) {
    const std::string elf = placeElf(work.file("proj"));
    const std::string listing = work.file("proj/calls.dis");
    const std::string good = test::readWholeFile(test::fixturePath("calls.dis"));
    test::writeFile(listing, good);
    useFiles(elf, listing);
    tools.addWrapper("half-objdump", "echo 'half a listing'; echo 'out of memory' >&2; exit 3");
    tools.addFile("garbage-objdump",
                  "\x7f"
                  "not a program",
                  0755);
    struct Case {
        const char* command;
        std::initializer_list<const char*> report;
    };
    const Case cases[] = {
        {"no-such-objdump.exe -D -z ", {"no-such-objdump.exe", "exit code 127", "not found"}},
        {"half-objdump -D", {"Disassembler half-objdump", "exit code 3", ": out of memory"}},
        {"garbage-objdump -D", {"garbage-objdump", "exit code 126"}},
        // No program at all: the ELF file must not become one.
        {"  ", {"(no disassembler command)", "exit code 127", "no program given"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        options.disassemblerCommand = c.command;
        const DisassemblyOutcome outcome = disassemble();
        expectOneError(outcome, c.report);
        EXPECT_FALSE(outcome.readListing);
        EXPECT_EQ(test::readWholeFile(listing), good);
        EXPECT_EQ(leftoversBeside(listing), 0U);
    }
}

TEST_F(Disassembler, ADisassemblerStillRunningAfterTheWaitIsEndedAndWritesNoMore) {
    const std::string pidFile = work.file("pid");
    // The wrapper's own child keeps writing: it must end with the wrapper.
    tools.addWrapper("slow-objdump",
                     "echo $$ > '" + pidFile + "'; (while :; do echo x; sleep 0.05; done) & wait");
    const std::string elf = placeElf(work.file("proj"));
    const std::string listing = work.file("proj/calls.dis");
    test::writeFile(listing, "listing of the last good build");
    useFiles(elf, listing);
    options.disassemblerCommand = "slow-objdump -D";
    // Long enough for the wrapper to have written its id on a loaded machine.
    RecordingRunner quick(std::chrono::milliseconds{5000});

    const DisassemblyOutcome outcome = disassembleWith(quick);
    expectOneError(outcome, {"slow-objdump", "exit code 259", "still running"});
    EXPECT_FALSE(outcome.readListing);

    const pid_t pid = std::stoi(test::readWholeFile(pidFile));
    EXPECT_NE(::kill(pid, 0), 0) << "the disassembler must not outlive the wait";
    std::this_thread::sleep_for(std::chrono::milliseconds{200});
    EXPECT_EQ(test::readWholeFile(listing), "listing of the last good build");
    EXPECT_EQ(leftoversBeside(listing), 0U);
}

TEST_F(Disassembler, ARunnerStartFailureStillLetsAListingAlreadyThereBeRead) {
    const std::string elf = placeElf(work.file("proj"));
    const std::string listing = work.file("proj/calls.dis");
    useFiles(elf, listing);
    runner.refusal =
        ProcessResult{ProcessResult::Status::CouldNotStart, 0,
                      startFailureText(kErrShellFailed, "Failed to Shell child process")};

    const DisassemblyOutcome first = disassemble();
    expectOneError(first, {"could not be started", "Failed to Shell child process"});
    EXPECT_FALSE(first.readListing) << "no listing yet: nothing to read";
    EXPECT_EQ(leftoversBeside(listing), 0U);

    fs::copy_file(test::fixturePath("calls.dis"), listing);
    const DisassemblyOutcome second = disassemble();
    expectOneError(second, {"could not be started", "Failed to Shell child process"});
    EXPECT_TRUE(second.readListing);
    EXPECT_EQ(second.elfTime, env.fileModifiedText(elf));
    EXPECT_EQ(test::readWholeFile(listing), test::readWholeFile(test::fixturePath("calls.dis")));
    EXPECT_EQ(runner.commands.size(), 2U);
    EXPECT_FALSE(tools.ran("pic32-objdump"));
}

} // namespace
} // namespace travonix

namespace travonix {
namespace {

// Files that are not what they seem beside the ELF file or under the
// listing's name: nothing is written through them or over them.
class DisassemblerAmongHostileFiles : public Disassembler {};

TEST_F(DisassemblerAmongHostileFiles, ALinkPlantedBesideTheElfIsNeverWrittenThrough) {
    const std::string elf = placeElf(work.file("proj"));
    const std::string listing = work.file("proj/calls.dis");
    const std::string victim = work.file("elsewhere.txt");
    test::writeFile(victim, "precious");
    // The name objdump once always wrote to, as a project archive may ship it.
    fs::create_symlink(victim, listing + ".travonix-partial");
    useFiles(elf, listing);
    options.disassemblerCommand = "xc32-objdump -D";

    const DisassemblyOutcome good = disassemble();
    EXPECT_TRUE(good.diagnostics.empty());
    EXPECT_FALSE(readListingFile(listing).functions.empty());
    EXPECT_EQ(test::readWholeFile(victim), "precious");

    options.disassemblerCommand = "missing-objdump -D";
    const DisassemblyOutcome failed = disassemble();
    EXPECT_FALSE(failed.diagnostics.empty());
    EXPECT_EQ(test::readWholeFile(victim), "precious") << "a failed run must not empty it";
    EXPECT_TRUE(fs::is_symlink(listing + ".travonix-partial"));
    EXPECT_EQ(leftoversBeside(listing), 0U);
}

TEST_F(DisassemblerAmongHostileFiles, AListingNameHoldingADeviceOrAFifoIsRefusedByName) {
    const std::string elf = placeElf(work.file("proj"));
    const std::string fifo = work.file("proj/fifo.dis");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string device = work.file("proj/null.dis");
    const bool madeDevice = ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    struct Case {
        std::string listing;
        const char* what;
    };
    std::vector<Case> cases = {{fifo, "FIFO"}};
    if (madeDevice)
        cases.push_back({device, "device"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listing);
        useFiles(elf, c.listing);
        const DisassemblyOutcome outcome = disassemble();
        expectOneError(outcome,
                       {"Cannot replace the listing", c.listing.c_str(), c.what,
                        "only regular files are replaced"},
                       DiagnosticCode::ListingNotReplaceable);
        ASSERT_FALSE(outcome.diagnostics.empty());
        EXPECT_EQ(outcome.diagnostics[0].file, c.listing);
        EXPECT_FALSE(outcome.readListing);
        struct stat info {};
        ASSERT_EQ(::lstat(c.listing.c_str(), &info), 0);
        EXPECT_FALSE(S_ISREG(info.st_mode)) << "the node must stay what it was";
    }
    expectNothingRan();
    if (!madeDevice)
        GTEST_SKIP() << "device nodes need the right to make them (root): only the FIFO was tried";
}

TEST_F(DisassemblerAmongHostileFiles, TwoRunsOnOneElfAtOnceEachWriteAWholeListing) {
    tools.addWrapper("slow-objdump", "sleep 0.3; exec mipsel-linux-gnu-objdump \"$@\"");
    const std::string elf = placeElf(work.file("proj"));
    const std::string listing = work.file("proj/calls.dis");
    useFiles(elf, listing);
    options.disassemblerCommand = "slow-objdump -D -z";
    RecordingRunner other;
    DisassemblyOutcome first, second;
    std::thread beside([&] { second = disassembleWith(other); });
    first = disassemble();
    beside.join();

    EXPECT_TRUE(first.diagnostics.empty());
    EXPECT_TRUE(second.diagnostics.empty());
    ASSERT_EQ(runner.commands.size(), 1U);
    ASSERT_EQ(other.commands.size(), 1U);
    EXPECT_NE(runner.commands[0].standardOutputFile, other.commands[0].standardOutputFile);
    EXPECT_EQ(functionsOf(readListingFile(listing)),
              functionsOf(readListingFile(test::fixturePath("calls.dis"))));
    EXPECT_EQ(leftoversBeside(listing), 0U);
}

TEST_F(DisassemblerAmongHostileFiles, AChildLeftRunningByADisassemblerThatSucceededIsEnded) {
    const std::string pidFile = work.file("child");
    // objdump writes the listing, then leaves a child appending to it.
    tools.addWrapper("leaky-objdump", "mipsel-linux-gnu-objdump \"$@\"; "
                                      "(while :; do echo more; sleep 0.02; done) & echo $! > '" +
                                          pidFile + "'; exit 0");
    const std::string elf = placeElf(work.file("proj"));
    const std::string listing = work.file("proj/calls.dis");
    useFiles(elf, listing);
    options.disassemblerCommand = "leaky-objdump -D -z";

    const DisassemblyOutcome outcome = disassemble();
    EXPECT_TRUE(outcome.diagnostics.empty());
    const std::string written = test::readWholeFile(listing);
    std::this_thread::sleep_for(std::chrono::milliseconds{300});
    EXPECT_EQ(test::readWholeFile(listing), written) << "nothing may write the listing now";
    const pid_t child = std::stoi(test::readWholeFile(pidFile));
    // Ended: gone, or a zombie that nobody has reaped yet.
    const std::string stat = fs::exists("/proc/" + std::to_string(child) + "/stat")
                                 ? test::readWholeFile("/proc/" + std::to_string(child) + "/stat")
                                 : std::string();
    const std::size_t state = stat.rfind(") ");
    EXPECT_TRUE(stat.empty() || (state != std::string::npos && stat[state + 2] == 'Z'))
        << "the child must not outlive the run: " << stat;
}

} // namespace
} // namespace travonix
