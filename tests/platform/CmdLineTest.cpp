#include "platform/CmdLine.h"

#include <gtest/gtest.h>

namespace travonix {
namespace {

// cmd /C drops the first and the last double quote of a line that starts with
// one; the line gets one more pair exactly when that would change what
// cmd.exe reads.
TEST(CmdLine, AddsAPairOfQuotesWhereDroppingTheOuterOnesWouldChangeTheLine) {
    struct Case {
        const char* command;
        const char* tail;
        const char* line;
    };
    const Case cases[] = {
        // One quoted word that reads the same without its quotes.
        {"\"C:\\Tools\\help.pdf\"", "", "cmd.exe /C \"C:\\Tools\\help.pdf\""},
        {"\"C:\\a-b_c.d~1\\x$#'{}!.pdf\"", "", "cmd.exe /C \"C:\\a-b_c.d~1\\x$#'{}!.pdf\""},
        // Blanks and separators would split it, operators would run or redirect.
        {"\"C:\\a b\\x\"", "", "cmd.exe /C \"\"C:\\a b\\x\"\""},
        {"\"C:\\a\tb\\x\"", "", "cmd.exe /C \"\"C:\\a\tb\\x\"\""},
        {"\"C:\\a,b;c=d\\x\"", "", "cmd.exe /C \"\"C:\\a,b;c=d\\x\"\""},
        {"\"C:\\a&b\\x\"", "", "cmd.exe /C \"\"C:\\a&b\\x\"\""},
        {"\"C:\\a(b)\\x\"", "", "cmd.exe /C \"\"C:\\a(b)\\x\"\""},
        {"\"C:\\a^b@c\\x\"", "", "cmd.exe /C \"\"C:\\a^b@c\\x\"\""},
        {"\"C:\\a+b[c]\\x\"", "", "cmd.exe /C \"\"C:\\a+b[c]\\x\"\""},
        {"\"C:\\J\xf6rg\\x\"", "", "cmd.exe /C \"\"C:\\J\xf6rg\\x\"\""},
        // More than one pair of quotes, or text after the last: the pair.
        {"\"C:\\a\"%\"b\\x\"", "", "cmd.exe /C \"\"C:\\a\"%\"b\\x\"\""},
        {"\"C:\\x\"", " -D", "cmd.exe /C \"\"C:\\x\" -D\""},
        {"\"\"", "", "cmd.exe /C \"\"\"\""},
        {"  \"x\"", "", "cmd.exe /C \"  \"x\"\""},
        // No quote to drop at the start: the line as it stands.
        {"x \"-D\"", " \"a b\"", "cmd.exe /C x \"-D\" \"a b\""},
        {"", " \"a b\" >\"c\"", "cmd.exe /C  \"a b\" >\"c\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cmdLine(c.command, c.tail, DelayedExpansion::AsConfigured), c.line)
            << c.command << c.tail;
}

TEST(CmdLine, SwitchesDelayedExpansionOffOnRequest) {
    EXPECT_EQ(cmdLine("\"C:\\a!b\"", "", DelayedExpansion::Off), "cmd.exe /V:OFF /C \"C:\\a!b\"");
    EXPECT_EQ(cmdLine("x", " \"a b!\"", DelayedExpansion::Off), "cmd.exe /V:OFF /C x \"a b!\"");
}

} // namespace
} // namespace travonix
