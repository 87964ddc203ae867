#include "platform/DisassemblerCandidates.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

namespace travonix {
namespace {

using Names = std::vector<std::string>;

TEST(DisassemblerCandidates, TheVendorsFirstThenDebiansCrossBinutils) {
    EXPECT_EQ(disassemblerCandidates(),
              (Names{"xc32-objdump", "pic32-objdump", "mipsel-linux-gnu-objdump",
                     "mips-linux-gnu-objdump"}));
}

TEST(DisassemblerCandidates, FoundInTheirOwnOrderWhateverTheFoldersHold) {
    test::ToolFolder tools;
    test::ToolFolder more;
    tools.addWrapper("mips-linux-gnu-objdump", "exit 0");
    tools.addFile("xc32-objdump", "#!/bin/sh\n", 0644); // not runnable
    more.addWrapper("pic32-objdump", "exit 0");
    more.addWrapper("mipsel-linux-gnu-objdump", "exit 0");
    const std::string searchPath = "::" + tools.bin() + ":/nonexistent:" + more.bin();
    EXPECT_EQ(disassemblersFound(searchPath),
              (Names{"pic32-objdump", "mipsel-linux-gnu-objdump", "mips-linux-gnu-objdump"}));
    EXPECT_EQ(disassemblersFound(""), Names{});
}

TEST(DisassemblerCandidates, FirstOnPathSeesTheFoldersPutFirst) {
    test::ToolFolder tools; // put first on PATH while it lives
    tools.addWrapper("xc32-objdump", "exit 0");
    EXPECT_EQ(firstDisassemblerOnPath(), "xc32-objdump");
}

TEST(DisassemblerCandidates, ACommandsProgramIsFoundWithOrWithoutExe) {
    test::ToolFolder tools;
    tools.addWrapper("pic32-objdump", "exit 0");
    tools.addWrapper("xc32-objdump.exe", "exit 0");
    const std::string searchPath = tools.bin();
    const struct {
        std::string command;
        bool found;
    } cases[] = {
        {"pic32-objdump.exe -D -z", true},
        {"pic32-objdump -D", true},
        {"xc32-objdump -D -z ", true},
        {"\"" + tools.bin() + "/pic32-objdump\" -D", true},
        {tools.bin() + "/xc32-objdump -D", true},
        {tools.bin() + "/missing-objdump -D", false},
        {"mipsel-linux-gnu-objdump -D", false},
        {"", false},
        {"   ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandProgramFound(c.command, searchPath), c.found) << c.command;
}

TEST(DisassemblerCandidates, AFoundProgramsCommandPrintsZeroWords) {
    EXPECT_EQ(disassemblerCommandFor("mipsel-linux-gnu-objdump"), "mipsel-linux-gnu-objdump -D -z");
    EXPECT_EQ(disassemblerCommandFor("/opt/my tools/xc32-objdump"),
              "\"/opt/my tools/xc32-objdump\" -D -z");
}

} // namespace
} // namespace travonix
