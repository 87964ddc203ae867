#include "platform/DisassemblyCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace travonix {
namespace {

const std::string kListing = "C:\\work\\demo.dis";

Options demoOptions(const std::string& command) {
    Options options;
    options.disassemblerCommand = command;
    options.elfPath = "C:\\work\\demo.elf";
    options.listingPath = kListing;
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
        EXPECT_EQ(disassemblyCommandLine(demoOptions(c.command), kListing), c.line) << c.command;

    Options blanks = demoOptions("xc32-objdump.exe -D");
    blanks.elfPath = "C:\\my work\\demo.elf";
    blanks.listingPath = "C:\\my work\\demo.dis";
    EXPECT_EQ(
        disassemblyCommandLine(blanks, blanks.listingPath),
        "cmd.exe /C xc32-objdump.exe -D \"C:\\my work\\demo.elf\" >\"C:\\my work\\demo.dis\"");
}

TEST(DisassemblyCommandLine, QuotesPathsSoThatCmdTakesThemLiterally) {
    struct Case {
        const char* elf;
        const char* listing;
        const char* line;
    };
    const Case cases[] = {
        // Inside quotes cmd.exe keeps these as text: nothing changes.
        {"C:\\a&b ^(c)|d\\x.elf", "C:\\e.dis",
         "cmd.exe /C objdump -D \"C:\\a&b ^(c)|d\\x.elf\" >\"C:\\e.dis\""},
        // Every "%" between two quoted stretches, in both paths.
        {"C:\\a%OS%b\\x.elf", "C:\\%TEMP%\\x.dis",
         "cmd.exe /C objdump -D \"C:\\a\"%\"OS\"%\"b\\x.elf\" >\"C:\"\\%\"TEMP\"%\"\\x.dis\""},
        {"%%\\%x.elf", "y.dis%", "cmd.exe /C objdump -D %%\"\"\\%\"x.elf\" >\"y.dis\"%"},
        // Backslashes never stand before a closing quote.
        {"C:\\dir\\", "C:\\e.dis", "cmd.exe /C objdump -D \"C:\\dir\"\\ >\"C:\\e.dis\""},
        // "!" switches delayed expansion off, whichever path holds it.
        {"C:\\a!OS!b.elf", "C:\\e.dis",
         "cmd.exe /V:OFF /C objdump -D \"C:\\a!OS!b.elf\" >\"C:\\e.dis\""},
        {"C:\\x.elf", "C:\\!.dis", "cmd.exe /V:OFF /C objdump -D \"C:\\x.elf\" >\"C:\\!.dis\""},
        {"-x%.elf", "e.dis", "cmd.exe /C objdump -D \".\\-x\"%\".elf\" >\"e.dis\""},
    };
    for (const Case& c : cases) {
        Options options = demoOptions("objdump -D");
        options.elfPath = c.elf;
        EXPECT_EQ(disassemblyCommandLine(options, c.listing), c.line) << c.elf;
    }
}

TEST(DisassemblyCommandLine, KeepsTheQuotesOfAQuotedProgram) {
    struct Case {
        const char* command;
        const char* line;
    };
    const Case cases[] = {
        {"\"C:\\my tools\\xc32-objdump.exe\" -D",
         "cmd.exe /C \"\"C:\\my tools\\xc32-objdump.exe\" -D \"C:\\work\\demo.elf\" "
         ">\"C:\\work\\demo.dis\"\""},
        {"  \"x\" -D", "cmd.exe /C \"  \"x\" -D \"C:\\work\\demo.elf\" >\"C:\\work\\demo.dis\"\""},
        // A quote later in the command is no first character to drop.
        {"x \"-D\"", "cmd.exe /C x \"-D\" \"C:\\work\\demo.elf\" >\"C:\\work\\demo.dis\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(disassemblyCommandLine(demoOptions(c.command), kListing), c.line) << c.command;
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
    Options options = demoOptions("\"/opt/my tools/xc32-objdump\" -D -z ");
    options.elfPath = "/home/u/a b $(x) `y`/demo.elf";
    options.listingPath = "/home/u/a b $(x) `y`/demo.dis";
    const std::string partial = options.listingPath + ".part";
    const ProcessCommand command = disassemblyCommand(options, partial);
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"/opt/my tools/xc32-objdump", "-D", "-z",
                                                           options.elfPath}));
    // The output goes where the caller says, not to the listing itself.
    EXPECT_EQ(command.standardOutputFile, partial);
    EXPECT_EQ(command.commandLine, disassemblyCommandLine(options, partial));
    // The command's own leading quote would be dropped by cmd /C: one more pair.
    EXPECT_EQ(command.commandLine, "cmd.exe /C \"\"/opt/my tools/xc32-objdump\" -D -z  \"" +
                                       options.elfPath + "\" >\"" + partial + "\"\"");

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
        Options options = demoOptions("objdump -D");
        options.elfPath = c.elf;
        const ProcessCommand command = disassemblyCommand(options, "out.part");
        EXPECT_EQ(command.arguments.back(), c.argument);
        EXPECT_EQ(command.commandLine, c.commandLine);
        EXPECT_EQ(command.standardOutputFile, "out.part");
    }
}

} // namespace
} // namespace travonix
