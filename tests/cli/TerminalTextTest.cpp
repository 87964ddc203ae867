// What a symbol name or a message turns into on the user's terminal: line
// ends made plain, every control character shown, the rest as it was.

#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <string>

namespace travonix::cli {
namespace {

TEST(TerminalText, ShowsControlCharactersAndKeepsTheRest) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"", ""},
        {"func_1\t9d000010\tabsolute-address", "func_1\t9d000010\tabsolute-address"},
        {"a\r\nb\rc\nd", "a\nb\nc\nd"},
        {"\r\n", "\n"},
        {"x\x1b]0;owned\x07y", "x\\x1B]0;owned\\x07y"},
        {"del\x7f", "del\\x7F"},
        {std::string("nul\0!", 5), "nul\\x00!"},
        {"csi\xc2\x9b"
         "2J",
         "csi\\xC2\\x9B2J"},
        {"copy\xc2\xa9 and \xc3\xa9", "copy\xc2\xa9 and \xc3\xa9"},
        {"end\xc2", "end\xc2"},
        {"\x01\x1f", "\\x01\\x1F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        EXPECT_EQ(terminalText(c.in), c.out);
    }
}

} // namespace
} // namespace travonix::cli
