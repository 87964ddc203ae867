#include "platform/DisassemblyCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace travonix {
namespace {

AppOptions demoOptions(const std::string& command) {
    AppOptions options;
    options.DisAsmCmd = command;
    options.ELFFileName = "C:\\work\\demo.elf";
    options.DISFileName = "C:\\work\\demo.dis";
    return options;
}

TEST(DisassemblyCommandLine, IsBuiltCharacterForCharacter) {
    struct Case {
        const char* command;
        const char* line;
    };
    const Case cases[] = {
        {"xc32-objdump.exe -D",
         "cmd.exe /C xc32-objdump.exe -D \"C:\\work\\demo.elf\" >\"C:\\work\\demo.dis\""},
        {"pic32-objdump.exe -D -z",
         "cmd.exe /C pic32-objdump.exe -D -z \"C:\\work\\demo.elf\" >\"C:\\work\\demo.dis\""},
        // A command that received " -z " at start-up: two blanks before the path.
        {"pic32-objdump.exe -D -z ",
         "cmd.exe /C pic32-objdump.exe -D -z  \"C:\\work\\demo.elf\" >\"C:\\work\\demo.dis\""},
        {"", "cmd.exe /C  \"C:\\work\\demo.elf\" >\"C:\\work\\demo.dis\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(disassemblyCommandLine(demoOptions(c.command)), c.line) << c.command;

    AppOptions blanks = demoOptions("xc32-objdump.exe -D");
    blanks.ELFFileName = "C:\\my work\\demo.elf";
    blanks.DISFileName = "C:\\my work\\demo.dis";
    EXPECT_EQ(
        disassemblyCommandLine(blanks),
        "cmd.exe /C xc32-objdump.exe -D \"C:\\my work\\demo.elf\" >\"C:\\my work\\demo.dis\"");
}

TEST(SplitCommandWords, SeparatesAtBlanksAndGroupsQuotedText) {
    using Words = std::vector<std::string>;
    struct Case {
        const char* command;
        Words words;
    };
    const Case cases[] = {
        {"xc32-objdump.exe -D", {"xc32-objdump.exe", "-D"}},
        {"pic32-objdump.exe -D -z ", {"pic32-objdump.exe", "-D", "-z"}},
        {"   a    b  ", {"a", "b"}},
        {"\"C:\\Program Files\\xc32\\bin\\xc32-objdump.exe\" -D",
         {"C:\\Program Files\\xc32\\bin\\xc32-objdump.exe", "-D"}},
        {"a\"b c\"d e", {"ab cd", "e"}},
        {"\"\" x", {"", "x"}},
        {"\"open quote", {"open quote"}},
        {"a\tb", {"a\tb"}},
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitCommandWords(c.command), c.words) << '[' << c.command << ']';
}

TEST(DisassemblyCommand, PassesTheElfPathAsOneArgumentAndTheDisAsOutput) {
    AppOptions options = demoOptions("\"/opt/my tools/xc32-objdump\" -D -z ");
    options.ELFFileName = "/home/u/a b $(x) `y`/demo.elf";
    options.DISFileName = "/home/u/a b $(x) `y`/demo.dis";
    const ShellCommand command = disassemblyCommand(options, options.DISFileName);
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"/opt/my tools/xc32-objdump", "-D", "-z",
                                                           options.ELFFileName}));
    EXPECT_EQ(command.standardOutputFile, options.DISFileName);
    EXPECT_EQ(command.commandLine, disassemblyCommandLine(options));

    // Without a program nothing is run: the ELF file must never become one.
    EXPECT_TRUE(disassemblyCommand(demoOptions("  "), "x.dis").arguments.empty());
}

TEST(DisassemblyCommand, AnElfPathThatLooksLikeAnOptionIsGivenAsAFile) {
    struct Case {
        const char* elf;
        const char* argument;
        const char* commandLine;
    };
    const Case cases[] = {
        {"-x.elf", "./-x.elf", "cmd.exe /C objdump -D \".\\-x.elf\" >\"out.part\""},
        {"@args.elf", "./@args.elf", "cmd.exe /C objdump -D \".\\@args.elf\" >\"out.part\""},
        {"a-b.elf", "a-b.elf", "cmd.exe /C objdump -D \"a-b.elf\" >\"out.part\""},
    };
    for (const Case& c : cases) {
        AppOptions options = demoOptions("objdump -D");
        options.ELFFileName = c.elf;
        const ShellCommand command = disassemblyCommand(options, "out.part");
        EXPECT_EQ(command.arguments.back(), c.argument);
        EXPECT_EQ(command.commandLine, c.commandLine);
        EXPECT_EQ(command.standardOutputFile, "out.part");
    }
}

} // namespace
} // namespace travonix
