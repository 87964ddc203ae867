#include "cli/CliRequest.h"

#include <gtest/gtest.h>

namespace travonix::cli {
namespace {

ParseOutcome parse(std::vector<std::string> args) {
    args.insert(args.begin(), "travonix-cli");
    return parseCommandLine(args);
}

TEST(CliRequest, UsageErrorsExitWithTwoAndTheUsageText) {
    const std::vector<std::vector<std::string>> bad = {
        {},                              // no input
        {"a.dis", "b.dis"},              // two inputs
        {"--no-such-option", "a.dis"},   // unknown option
        {"--mode", "sideways", "a.dis"}, // unknown mode
        {"--mode"},                      // option without its value
        {"--objdump", "x -D", "a.dis"},  // disassembler options need an ELF input
        {"-m", "merge", "a.dis"},        // merge mode needs --name
        {"-m", "merge", "-n", "  ", "a.dis"},
    };
    for (const auto& args : bad) {
        ParseOutcome o = parse(args);
        SCOPED_TRACE(args.empty() ? std::string("(none)") : args.front());
        EXPECT_FALSE(o.request.has_value());
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_TRUE(o.toStderr);
        EXPECT_NE(o.text.find("INPUT"), std::string::npos) << o.text;
    }
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
