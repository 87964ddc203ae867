#include "platform/ProgramSearch.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

namespace travonix {
namespace {

TEST(FindProgram, SearchesThePathAndRetriesWithoutExe) {
    test::ToolFolder tools;
    tools.addWrapper("xc32-objdump", "exit 0");
    tools.addFile("not-runnable", "#!/bin/sh\n", 0644);
    const std::string searchPath = ":/nonexistent:" + tools.bin();
    const std::string expected = tools.bin() + "/xc32-objdump";
    EXPECT_EQ(findProgram("xc32-objdump", searchPath), expected);
    EXPECT_EQ(findProgram("xc32-objdump.exe", searchPath), expected);
    EXPECT_EQ(findProgram("xc32-objdump.EXE", searchPath), expected);
    EXPECT_EQ(findProgram(expected + ".exe", ""), expected);
    EXPECT_EQ(findProgram("not-runnable", searchPath), std::nullopt);
    EXPECT_EQ(findProgram("xc32-objdump.elf", searchPath), std::nullopt);
    EXPECT_EQ(findProgram(".exe", searchPath), std::nullopt);
    EXPECT_EQ(findProgram("", searchPath), std::nullopt);
    // The folder itself is not a program.
    EXPECT_EQ(findProgram(tools.bin(), searchPath), std::nullopt);
}

TEST(FindProgram, OnPathSeesTheFoldersPutFirst) {
    test::ToolFolder tools;
    tools.addWrapper("pic32-objdump", "exit 0");
    EXPECT_EQ(findProgramOnPath("pic32-objdump.exe"), tools.bin() + "/pic32-objdump");
    EXPECT_EQ(findProgramOnPath("no-such-objdump.exe"), std::nullopt);
}

TEST(DisassemblerCandidates, AreTheVendorsObjdumpsThenDebiansCrossOnes) {
    EXPECT_EQ(disassemblerCandidates(),
              (std::vector<std::string>{"xc32-objdump", "pic32-objdump", "mipsel-linux-gnu-objdump",
                                        "mips-linux-gnu-objdump"}));
}

TEST(FirstProgramOnPath, IsTheFirstCandidateFoundInTheCandidatesOrder) {
    struct Case {
        std::vector<std::string> installed;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{"mips-linux-gnu-objdump"}, "mips-linux-gnu-objdump"},
        {{"mips-linux-gnu-objdump", "mipsel-linux-gnu-objdump"}, "mipsel-linux-gnu-objdump"},
        {{"mipsel-linux-gnu-objdump", "pic32-objdump"}, "pic32-objdump"},
        {{"mips-linux-gnu-objdump", "xc32-objdump", "pic32-objdump"}, "xc32-objdump"},
        // Only programs count: a file that cannot be run is passed over.
        {{"not-runnable:xc32-objdump", "mips-linux-gnu-objdump"}, "mips-linux-gnu-objdump"},
    };
    for (const Case& c : cases) {
        test::ToolFolder tools;
        for (const std::string& name : c.installed) {
            if (name.starts_with("not-runnable:"))
                tools.addFile(name.substr(13), "#!/bin/sh\n", 0644);
            else
                tools.addWrapper(name, "exit 0");
        }
        // Only the tool folder: the machine's own cross binutils stay out.
        test::ScopedEnv path("PATH", tools.bin());
        SCOPED_TRACE(c.installed.empty() ? "(none)" : c.installed.back());
        EXPECT_EQ(firstProgramOnPath(disassemblerCandidates()), c.expected);
    }
}

} // namespace
} // namespace travonix
