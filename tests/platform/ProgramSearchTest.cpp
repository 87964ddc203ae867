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

} // namespace
} // namespace travonix
