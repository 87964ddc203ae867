// The command-line tool as a Makefile uses it: real listings in, exit codes,
// stdout and stderr out.

#include "CliProcess.h"
#include "platform/ProgramSearch.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

const std::string kCallsFunctions = "0\tcrc_step\n0\tmy_crc32\n0\tclamp_value\n0\tscale_reading\n"
                                    "0\taverage_of\n0\tlimited_average\n";
const std::string kCallsData = "1\tcrc_nibble\n1\tscale_steps\n";

TEST(Cli, ListPrintsDataMarkTabAndNameWithAndWithoutDashZ) {
    TempDir work;
    struct Case {
        std::vector<std::string> options;
        std::string listing;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "calls.dis", kCallsFunctions + kCallsData},
        {{}, "calls-noz.dis", kCallsFunctions + kCallsData},
        {{"--main"}, "calls.dis", kCallsFunctions + "0\tmain\n" + kCallsData},
        {{"--main"}, "calls-noz.dis", kCallsFunctions + "0\tmain\n" + kCallsData},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.begin(), "--list");
        args.push_back(fixturePath(c.listing));
        CliResult r = runTravonixCli(args, work.path());
        SCOPED_TRACE(c.listing);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, c.expected);
    }
}

TEST(Cli, AllFuncsListsSystemFunctionsMainAndOtherSections) {
    TempDir work;
    CliResult r =
        runTravonixCli({"--list", "--all-funcs", fixturePath("sysfunc.dis")}, work.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("0\t_nmi_handler\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0\tled_after_handler\n"), std::string::npos);
    EXPECT_NE(r.out.find("0\tmain\n"), std::string::npos);

    CliResult sections = runTravonixCli({"--list", fixturePath("sysfunc.dis")}, work.path());
    EXPECT_EQ(sections.out.find("_nmi_handler"), std::string::npos) << sections.out;
    EXPECT_EQ(sections.out.find("led_after_handler"), std::string::npos);
}

TEST(Cli, PrintListingShowsRewrittenBranchesWithLfLineEnds) {
    TempDir work;
    CliResult r = runTravonixCli({"--print-listing", fixturePath("calls.dis")}, work.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_NE(r.out.find("9d000054:\t0411FFEA\tbal\t9d000000 <crc_step>\n"), std::string::npos)
        << r.out.substr(0, 2000);
    EXPECT_EQ(r.out.find("\tjal\t"), std::string::npos);
}

TEST(Cli, UnreachableCallsAreReportedOnStderrAndTheRunSucceeds) {
    TempDir work;
    CliResult r = runTravonixCli({"--list", fixturePath("farcall-noz.dis")}, work.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find(" unconverted JAL/J instructions in the output, targets are too far away"),
              std::string::npos)
        << r.err;
}

TEST(Cli, MissingInputIsAClearErrorWithExitOne) {
    TempDir work;
    for (const char* input : {"no-such.dis", "no-such.elf"}) {
        CliResult r = runTravonixCli({input}, work.path());
        EXPECT_EQ(r.exitCode, 1) << input;
        EXPECT_NE(r.err.find("no-such"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(Cli, RefusalsExitWithAnErrorAndWriteNothing) {
    TempDir work;
    const std::string listing = fixturePath("calls.dis");
    struct Case {
        std::vector<std::string> args;
        std::string message;
        int exitCode;
    };
    const Case cases[] = {
        {{"-m", "merge", "-o", ".", listing}, "merge mode needs --name NAME", 2},
        {{"-m", "merge", "-n", "   ", "-o", ".", listing}, "--name", 2},
        {{"-f", "crc_step", "-f", "nothing_like_it", "-o", ".", listing}, "nothing_like_it", 1},
        {{"-f", "main", "-o", ".", listing}, "'main' is left out unless --main is given", 1},
    };
    for (const Case& c : cases) {
        CliResult r = runTravonixCli(c.args, work.path());
        EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_empty(work.path())) << c.message;
    }
}

TEST(Cli, AUsageErrorIsTheMessageAndWhereToReadMoreAsGnuToolsDo) {
    TempDir work;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-m", "merge", fixturePath("calls.dis")},
          std::vector<std::string>{"--frobnicate", fixturePath("calls.dis")}}) {
        const CliResult r = runTravonixCli(args, work.path());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_TRUE(r.err.starts_with("travonix-cli: ")) << r.err;
        EXPECT_TRUE(r.err.ends_with("\nTry 'travonix-cli --help' for more information.\n"))
            << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    }
    EXPECT_TRUE(fs::is_empty(work.path()));
}

TEST(Cli, JalrWithoutYesAbandonsTheRunWithExitThree) {
    TempDir work;
    CliResult r =
        runTravonixCli({"-o", ".", "--save-disasm", fixturePath("jalr.dis")}, work.path());
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("Warning : JALR instruction found - have you set '-fPIC -mno-abicalls' in "
                         "gcc options ?\nContinue ?"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::is_empty(work.path()));
    EXPECT_TRUE(r.out.empty());
}

TEST(Cli, SelectedFunctionsOnlyAndTheSizeReport) {
    TempDir work;
    CliResult r = runTravonixCli(
        {"-f", "clamp_value", "-f", "crc_step", "-o", ".", fixturePath("calls.dis")}, work.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // List order, not command-line order; clamp_value has 8 words and crc_step 10.
    EXPECT_EQ(r.out, "./crc_step.bas\n./clamp_value.bas\n.07 KB\n crc_step.bas\n"
                     " clamp_value.bas\n\n file(s) written to disk\n");
    EXPECT_TRUE(fs::exists(fs::path(work.path()) / "crc_step.bas"));
    EXPECT_FALSE(fs::exists(fs::path(work.path()) / "my_crc32.bas"));
}

TEST(Cli, DefaultOutputFolderIsTheListingsFolder) {
    TempDir work;
    fs::copy_file(fixturePath("calls.dis"), fs::path(work.path()) / "calls.dis");
    CliResult r = runTravonixCli({"-m", "single", "calls.dis"}, work.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(fs::path(work.path()) / "crc_step.bas"));
}

TEST(Cli, AFileThatCannotBeWrittenIsReportedWhileTheOthersAreWritten) {
    TempDir work;
    // A folder in the way of one output file makes exactly that write fail.
    fs::create_directory(fs::path(work.path()) / "my_crc32.bas");
    CliResult r = runTravonixCli({"-o", ".", fixturePath("calls.dis")}, work.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("my_crc32.bas"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(fs::path(work.path()) / "crc_step.bas"));
    EXPECT_TRUE(fs::exists(fs::path(work.path()) / "scale_steps.bas"));
    EXPECT_EQ(r.out.find("./my_crc32.bas\n"), std::string::npos);
}

} // namespace
} // namespace travonix::test

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

// A folder holding a "pic32-objdump" that runs the real cross objdump, or
// fails, put first on PATH: the tool's default command finds it without ".exe".
std::map<std::string, std::string> pathWithObjdump(const TempDir& dir, const std::string& body) {
    const fs::path bin = fs::path(dir.path()) / "bin";
    fs::create_directory(bin);
    {
        std::ofstream script(bin / "pic32-objdump");
        script << "#!/bin/sh\n" << body << "\n";
    }
    fs::permissions(bin / "pic32-objdump", fs::perms::owner_all, fs::perm_options::add);
    const char* path = std::getenv("PATH");
    return {{"PATH", bin.string() + ":" + (path ? path : "/usr/bin:/bin")}};
}

TEST(CliElf, DisassemblesThroughObjdumpThenConverts) {
    TempDir work;
    auto env = pathWithObjdump(work, "exec mipsel-linux-gnu-objdump \"$@\"");
    fs::copy_file(examplePath("demo.elf"), fs::path(work.path()) / "demo.elf");
    CliResult r =
        runTravonixCli({"-m", "merge", "-n", "Demo", "--main", "demo.elf"}, work.path(), env);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 11), "./Demo.bas\n") << r.out;
    // The listing lands beside the ELF file and holds objdump's -z output.
    const std::string listing = readWholeFile((fs::path(work.path()) / "demo.dis").string());
    EXPECT_NE(listing.find("Disassembly of section .text:"), std::string::npos);
    // The block is the same as the one converted from the committed listing.
    const std::string block = readWholeFile((fs::path(work.path()) / "Demo.bas").string());
    const std::string golden =
        readWholeFile(std::string(TRAVONIX_CLI_GOLDEN_DIR) + "/demo-merge/Demo.bas");
    EXPECT_EQ(block.substr(block.find("CFunction")), golden.substr(golden.find("CFunction")));
}

// Without --objdump and without the default pic32-objdump.exe on the search
// path, the first of the known disassemblers found is run with the default's
// options, and stderr says which one.
TEST(CliElf, FindsADisassemblerWhenTheDefaultIsNotOnTheSearchPath) {
    const std::optional<std::string> objdump = findProgramOnPath("mipsel-linux-gnu-objdump");
    ASSERT_TRUE(objdump) << "the tests need binutils-mipsel-linux-gnu";
    struct Case {
        std::vector<std::string> installed;
        std::string ran;
        bool chosen; // false: the default command found it
    };
    const Case cases[] = {
        {{"mipsel-linux-gnu-objdump"}, "mipsel-linux-gnu-objdump", true},
        {{"mips-linux-gnu-objdump"}, "mips-linux-gnu-objdump", true},
        {{"mips-linux-gnu-objdump", "mipsel-linux-gnu-objdump", "xc32-objdump"},
         "xc32-objdump",
         true},
        // The default pic32-objdump.exe is found without its ".exe".
        {{"mipsel-linux-gnu-objdump", "pic32-objdump"}, "pic32-objdump", false},
        {{"mipsel-linux-gnu-objdump", "pic32-objdump.exe"}, "pic32-objdump.exe", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installed.back());
        TempDir work;
        const fs::path bin = fs::path(work.path()) / "bin";
        fs::create_directory(bin);
        for (const std::string& name : c.installed) {
            std::ofstream(bin / name)
                << "#!/bin/sh\necho \"$@\" >\"$0.args\"\nexec " << *objdump << " \"$@\"\n";
            fs::permissions(bin / name, fs::perms::owner_all, fs::perm_options::add);
        }
        fs::copy_file(examplePath("demo.elf"), fs::path(work.path()) / "demo.elf");
        const CliResult r =
            runTravonixCli({"--list", "demo.elf"}, work.path(), {{"PATH", bin.string()}});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out,
                  "0\tint_sqrt\n0\tvector_length\n0\tcrc8_buffer\n1\tcrc8_nibble\n1\tmessage.0\n");
        EXPECT_EQ(readWholeFile((bin / (c.ran + ".args")).string()), "-D -z demo.elf\n");
        if (c.chosen)
            EXPECT_EQ(r.err, "travonix-cli: pic32-objdump.exe is not on the search path; using " +
                                 c.ran + " -D -z\n");
        else
            EXPECT_EQ(r.err, "");
    }
}

TEST(CliElf, WithoutAnyDisassemblerTheMessageNamesThemAndTheOption) {
    TempDir work;
    const fs::path bin = fs::path(work.path()) / "bin";
    fs::create_directory(bin);
    fs::copy_file(examplePath("demo.elf"), fs::path(work.path()) / "demo.elf");
    const CliResult r = runTravonixCli({"demo.elf"}, work.path(), {{"PATH", bin.string()}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.empty()) << r.out;
    for (const char* part : {"pic32-objdump.exe",
                             "xc32-objdump, pic32-objdump, "
                             "mipsel-linux-gnu-objdump nor "
                             "mips-linux-gnu-objdump",
                             "--objdump"})
        EXPECT_NE(r.err.find(part), std::string::npos) << part << "\n" << r.err;
    EXPECT_FALSE(fs::exists(fs::path(work.path()) / "demo.dis"));
    EXPECT_FALSE(fs::exists(fs::path(work.path()) / "int_sqrt.bas"));
}

TEST(CliElf, ObjdumpOptionAndDisPathAreUsed) {
    TempDir work;
    fs::create_directory(fs::path(work.path()) / "listings");
    CliResult r = runTravonixCli({"--list", "--objdump", "mipsel-linux-gnu-objdump -D", "--dis",
                                  "listings/x.dis", examplePath("demo.elf")},
                                 work.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "0\tint_sqrt\n0\tvector_length\n0\tcrc8_buffer\n1\tcrc8_nibble\n1\tmessage.0\n");
    EXPECT_TRUE(fs::exists(fs::path(work.path()) / "listings" / "x.dis"));
}

TEST(CliElf, AFailedDisassemblyIsReportedWithExitOne) {
    TempDir work;
    auto env =
        pathWithObjdump(work, "echo 'objdump: demo.elf: file format not recognized' >&2; exit 1");
    fs::copy_file(examplePath("demo.elf"), fs::path(work.path()) / "demo.elf");
    CliResult r = runTravonixCli({"demo.elf"}, work.path(), env);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("exit code 1"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("file format not recognized"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(fs::path(work.path()) / "int_sqrt.bas"));
}

TEST(CliElf, AnElfFileIsKnownByItsFirstBytesWhateverItsName) {
    TempDir work;
    for (const char* name : {"prog", "prog.out"}) {
        SCOPED_TRACE(name);
        fs::copy_file(examplePath("demo.elf"), fs::path(work.path()) / name);
        CliResult r = runTravonixCli({"--list", "--objdump", "mipsel-linux-gnu-objdump -D", name},
                                     work.path());
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out,
                  "0\tint_sqrt\n0\tvector_length\n0\tcrc8_buffer\n1\tcrc8_nibble\n1\tmessage.0\n");
        // The listing is named as for FILE.elf: the name up to its extension, ".dis".
        EXPECT_TRUE(fs::exists(fs::path(work.path()) / "prog.dis"));
        fs::remove(fs::path(work.path()) / "prog.dis");
    }
}

// A file named .elf that is not one is still given to the disassembler, which
// says what is wrong with it.
TEST(CliElf, AFileNamedElfThatIsNoneIsReportedByTheDisassembler) {
    TempDir work;
    fs::copy_file(examplePath("demo.dis"), fs::path(work.path()) / "listing.elf");
    CliResult r =
        runTravonixCli({"--objdump", "mipsel-linux-gnu-objdump -D", "listing.elf"}, work.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("file format not recognized"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(fs::path(work.path()) / "listing.dis"));
}

TEST(CliElf, AListingNamedLikeTheElfFileIsRefused) {
    TempDir work;
    fs::copy_file(examplePath("demo.elf"), fs::path(work.path()) / "demo.elf");
    const std::string before = readWholeFile((fs::path(work.path()) / "demo.elf").string());
    CliResult r = runTravonixCli(
        {"--dis", "demo.elf", "--objdump", "mipsel-linux-gnu-objdump -D", "demo.elf"}, work.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("demo.elf"), std::string::npos) << r.err;
    EXPECT_EQ(readWholeFile((fs::path(work.path()) / "demo.elf").string()), before);
}

} // namespace
} // namespace travonix::test
