#include "platform/HelpCommandLine.h"

#include <gtest/gtest.h>

namespace travonix {
namespace {

TEST(HelpCommandLine, QuotesTheFolderSoThatCmdOpensTheDocumentInIt) {
    struct Case {
        const char* folder;
        const char* line;
    };
    const Case cases[] = {
        // An ordinary folder: cmd /C drops the quotes, and the path still reads whole.
        {"C:\\Tools", "cmd.exe /C \"C:\\Tools\\help.pdf\""},
        {"D:\\apps\\travonix-1.0", "cmd.exe /C \"D:\\apps\\travonix-1.0\\help.pdf\""},
        // A blank or "&()" would split the path or start another command
        // once cmd /C dropped the quotes: one more pair for it to drop.
        {"C:\\Program Files\\Travonix", "cmd.exe /C \"\"C:\\Program Files\\Travonix\\help.pdf\"\""},
        {"C:\\Program Files (x86)\\Travonix",
         "cmd.exe /C \"\"C:\\Program Files (x86)\\Travonix\\help.pdf\"\""},
        {"C:\\R&D\\tools", "cmd.exe /C \"\"C:\\R&D\\tools\\help.pdf\"\""},
        {"C:\\a)&mkdir x&(b", "cmd.exe /C \"\"C:\\a)&mkdir x&(b\\help.pdf\"\""},
        // Each "%" outside the quotes, where cmd.exe finds no variable to expand.
        {"C:\\a%OS%b", "cmd.exe /C \"\"C:\\a\"%\"OS\"%\"b\\help.pdf\"\""},
        {"C:\\100% done", "cmd.exe /C \"\"C:\\100\"%\" done\\help.pdf\"\""},
        // "!" only with delayed expansion off; it needs no quotes of its own.
        {"C:\\a!OS!b", "cmd.exe /V:OFF /C \"C:\\a!OS!b\\help.pdf\""},
        {"C:\\my tools!", "cmd.exe /V:OFF /C \"\"C:\\my tools!\\help.pdf\"\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(helpCommandLine(c.folder), c.line) << c.folder;
}

} // namespace
} // namespace travonix
