#include "cli/CliRequest.h"

#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <utility>

namespace travonix::cli {
namespace {

// No input file of these tests exists; the probe says which are ELF files.
ParseOutcome parse(std::vector<std::string> args, const ElfProbe& isElf = startsWithElfMagic) {
    args.insert(args.begin(), "travonix-cli");
    return parseCommandLine(args, isElf);
}

TEST(CliRequest, UsageErrorsGiveTheMessageAndWhereToReadMoreWithExitTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{}, "no input file given"},
        {{"a.dis", "b.dis"}, "more than one input file given"},
        {{"--no-such-option", "a.dis"}, "unknown option '--no-such-option'"},
        {{"-q", "a.dis"}, "unknown option '-q'"},
        {{"--mode", "sideways", "a.dis"}, "unknown mode 'sideways' (individual, single or merge)"},
        {{"--mode"}, "missing value after '--mode'"},
        {{"--objdump", "x -D", "a.dis"}, "--objdump and --dis apply to an ELF input only"},
        {{"-o", "", "a.dis"}, "--output needs a folder"},
        {{"--dis", "", "a.elf"}, "--dis needs a file name"},
        {{"-m", "merge", "a.dis"}, "merge mode needs --name NAME"},
        {{"-m", "merge", "-n", "  ", "a.dis"}, "merge mode needs --name NAME"},
    };
    for (const Case& c : cases) {
        ParseOutcome o = parse(c.args);
        SCOPED_TRACE(c.message);
        EXPECT_FALSE(o.request.has_value());
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_TRUE(o.toStderr);
        EXPECT_EQ(o.text, "travonix-cli: " + c.message +
                              "\nTry 'travonix-cli --help' for more information.\n");
    }
}

// The ways a value and an option can be written, as the tool has always
// read them.
TEST(CliRequest, OptionsAndValuesAreReadInEveryWrittenForm) {
    struct Case {
        std::vector<std::string> args;
        std::string name;   // the merged name read ("" for none)
        std::string output; // the output folder read ("" for none)
        std::string input;
    };
    const Case cases[] = {
        {{"-m", "merge", "-n", "B", "a.dis"}, "B", "", "a.dis"},
        {{"--mode=merge", "--name=B", "a.dis"}, "B", "", "a.dis"},
        {{"-mmerge", "-nB", "a.dis"}, "B", "", "a.dis"},
        {{"-m=merge", "-n=B", "-o=out", "a.dis"}, "B", "out", "a.dis"},
        {{"--m", "merge", "--n", "B", "a.dis"}, "B", "", "a.dis"},
        {{"-m", "merge", "-n", "A", "--name", "B", "a.dis"}, "B", "", "a.dis"},
        {{"-m", "merge", "-n", "-o", "a.dis"}, "-o", "", "a.dis"},
        {{"-m", "merge", "-n", "B", "--", "-x.dis"}, "B", "", "-x.dis"},
        {{"-m", "merge", "-n", "B", "-"}, "B", "", "-"},
        {{"--main", "--yes", "-o", "out", "a.dis"}, "", "out", "a.dis"},
    };
    for (const Case& c : cases) {
        ParseOutcome o = parse(c.args);
        SCOPED_TRACE(c.args.front() + " ... " + c.input);
        ASSERT_TRUE(o.request.has_value()) << o.text;
        EXPECT_EQ(o.request->name.value_or(""), c.name);
        EXPECT_EQ(o.request->outputDir.value_or(""), c.output);
        EXPECT_EQ(o.request->input, c.input);
    }
    for (const auto& [args, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--list=x", "a.dis"}, "unexpected value after '--list'"},
             {{"-lx", "a.dis"}, "unknown option '-l'"},
             {{"---x", "a.dis"}, "unknown option '---x'"},
             {{"-hm"}, "missing value after '-hm'"},
             {{"--bogus", "--mode"}, "unknown option '--bogus'"},
             {{"-mode", "merge", "a.dis"}, "more than one input file given"},
         }) {
        SCOPED_TRACE(message);
        EXPECT_EQ(parse(args).text, "travonix-cli: " + message +
                                        "\nTry 'travonix-cli --help' for more information.\n");
    }
}

TEST(CliRequest, AnInputThatStartsWithTheElfMagicIsAnElfFileWhateverItsName) {
    const ElfProbe elfNamedProg = [](const std::string& path) { return path == "prog"; };
    struct Case {
        const char* input;
        bool elf;
    };
    for (const Case c : {Case{"prog", true}, Case{"prog.elf", true}, Case{"PROG.ELF", true},
                         Case{"prog.out", false}, Case{"listing.dis", false}}) {
        SCOPED_TRACE(c.input);
        ParseOutcome plain = parse({c.input}, elfNamedProg);
        ASSERT_TRUE(plain.request.has_value()) << plain.text;
        EXPECT_EQ(plain.request->inputIsElf, c.elf);
        // The disassembler's options go with an ELF input only.
        ParseOutcome withObjdump = parse({"--objdump", "x -D", c.input}, elfNamedProg);
        EXPECT_EQ(withObjdump.request.has_value(), c.elf) << withObjdump.text;
    }
}

TEST(CliRequest, TheElfMagicIsReadFromTheFilesFirstBytes) {
    travonix::test::TempDir dir;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir.file(name), std::ios::binary) << bytes;
        return dir.file(name);
    };
    EXPECT_TRUE(startsWithElfMagic(travonix::test::fixturePath("calls.elf")));
    EXPECT_TRUE(startsWithElfMagic(write("prog", std::string("\x7f"
                                                             "ELF",
                                                             4))));
    EXPECT_FALSE(startsWithElfMagic(travonix::test::fixturePath("calls.dis")));
    EXPECT_FALSE(startsWithElfMagic(write("short", std::string("\x7f"
                                                               "EL",
                                                               3))));
    EXPECT_FALSE(startsWithElfMagic(write("lower", std::string("\x7f"
                                                               "elf",
                                                               4))));
    EXPECT_FALSE(startsWithElfMagic(write("empty", "")));
    EXPECT_FALSE(startsWithElfMagic(dir.file("missing")));
    EXPECT_FALSE(startsWithElfMagic(dir.path()));
}

TEST(CliRequest, HelpAndVersionGoToStdoutWithExitZero) {
    ParseOutcome help = parse({"--help"});
    EXPECT_FALSE(help.request.has_value());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_FALSE(help.toStderr);
    EXPECT_NE(help.text.find("--print-listing"), std::string::npos);
    // The exit codes and the " -z" rule are part of the help; the window's
    // captions are not.
    for (const char* part : {"Exit codes:", "3  abandoned at a jalr warning", "\" -z\" is added"})
        EXPECT_NE(help.text.find(part), std::string::npos) << part;
    EXPECT_EQ(help.text.find("Show ALL funcs"), std::string::npos);
    // Each description wrapped beside its option's names.
    EXPECT_EQ(help.text.find("Usage: travonix-cli [options] INPUT\n"), 0U);
    EXPECT_NE(help.text.find("  --list                  Print the functions found: data mark (0 "
                             "code, 1\n                          data), TAB, name.\n"),
              std::string::npos);
    EXPECT_NE(help.text.find("  -m, --mode <MODE>       Output mode: individual (default), "
                             "single or merge.\n"),
              std::string::npos);

    ParseOutcome version = parse({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.text, "travonix-cli 1.0.21\n");
}

TEST(CliRequest, OptionsReachTheRequest) {
    ParseOutcome o = parse({"-m", "merge", "-n", "Blk", "-o", "out", "-f", "a", "--function", "b",
                            "--save-disasm", "--main", "--all-funcs", "--yes", "prog.ELF",
                            "--objdump", "xc32-objdump -D", "--dis", "p.dis"});
    ASSERT_TRUE(o.request.has_value()) << o.text;
    const CliRequest& r = *o.request;
    EXPECT_EQ(r.input, "prog.ELF");
    EXPECT_TRUE(r.inputIsElf);
    EXPECT_EQ(r.mode, OutputMode::Merged);
    EXPECT_EQ(r.name, "Blk");
    EXPECT_EQ(r.outputDir, "out");
    EXPECT_EQ(r.functions, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(r.saveDisasm && r.includeMain && r.allFuncs && r.yes);
    EXPECT_EQ(r.objdump, "xc32-objdump -D");
    EXPECT_EQ(r.disPath, "p.dis");
}

TEST(CliRequest, DefaultsAreIndividualFilesWithoutOptionalValues) {
    ParseOutcome o = parse({"listing.dis"});
    ASSERT_TRUE(o.request.has_value());
    EXPECT_EQ(o.request->mode, OutputMode::IndividualFiles);
    EXPECT_FALSE(o.request->inputIsElf);
    EXPECT_FALSE(o.request->name || o.request->outputDir || o.request->objdump);
    EXPECT_TRUE(o.request->functions.empty());
}

} // namespace
} // namespace travonix::cli
