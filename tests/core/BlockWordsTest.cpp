#include "core/BlockWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace travonix::test {
namespace {

std::string padTo(std::string line, std::size_t length) {
    line.resize(length, 'x');
    return line;
}

struct WordsCase {
    const char* what;
    std::string line;
    std::vector<std::string> words;
    bool longLine;
};

TEST(BlockWords, WordsOfShortAndLongLines) {
    const std::string longSymbol = "<" + std::string(90, 's') + ">";
    const std::vector<WordsCase> cases = {
        {"instruction line", "9d000000:\t27bdfff8 \taddiu\tsp,sp,-8", {"27bdfff8"}, false},
        {"read-only data line cut after its word", "9d001000:\t64636261 ", {"64636261"}, false},
        {"shorter field, shorter word", "9d000004:\t1234", {"1234"}, false},
        {"empty second field", "9d000004:\t\tnop", {}, false},
        {"no second field", "9d000004:", {}, false},
        {"empty line", "", {}, false},
        {"objdump call to a long symbol",
         "9d000010:\t0f400000 \tjal\t9d000000 " + longSymbol,
         {"0f400000"},
         true},
        {"rewritten branch to a long symbol: the word is followed by a TAB",
         "9d000010:\t04110003\tbal\t9d000020 " + longSymbol,
         {"04110003"},
         true},
        {"long line: of the first four blank-separated fields, the eight-character ones",
         "9d000010:\taaaaaaaa bbbbbbbb cc dddddddd eeeeeeee\t" + std::string(80, 'z'),
         {"aaaaaaaa", "bbbbbbbb", "dddddddd"},
         true},
        {"long line without a TAB", std::string(120, 'a'), {}, true},
        {"100 characters is still a short line",
         padTo("9d000010:\tabcdefghijk", kLongLineLength),
         {"abcdefgh"},
         false},
        {"101 characters is a long line",
         padTo("9d000010:\tabcdefghijk", kLongLineLength + 1),
         {},
         true},
    };
    for (const WordsCase& c : cases) {
        SCOPED_TRACE(c.what);
        const LineWords taken = takeLineWords(c.line);
        const std::vector<std::string> words(taken.words.begin(), taken.words.end());
        EXPECT_EQ(words, c.words);
        EXPECT_EQ(taken.fromLongLine, c.longLine);
    }
}

TEST(BlockWords, WordsAreViewsIntoTheLineNeverConverted) {
    const std::string line = "9d000000:\t0411FFFF \tbal\t9d000000 <f>";
    const LineWords taken = takeLineWords(line);
    ASSERT_EQ(taken.words.size(), 1U);
    EXPECT_EQ(taken.words[0], "0411FFFF");
    EXPECT_EQ(taken.words[0].data(), line.data() + line.find('\t') + 1);
}

} // namespace
} // namespace travonix::test
