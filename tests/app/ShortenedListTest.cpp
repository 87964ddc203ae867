#include "app/ShortenedList.h"

#include <gtest/gtest.h>

namespace travonix {
namespace {

// " n0\r\n n1\r\n ...": `count` names as a completion message lists them.
std::string names(int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += " n" + std::to_string(i) + "\r\n";
    return text;
}

const std::string kTail = "\r\n file(s) written to disk";

TEST(ShortenedList, CutsAListLongerThanTwentyAndKeepsWhatFollows) {
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } cases[] = {
        {"Short", names(0, 3) + kTail, names(0, 3) + kTail},
        {"Twenty", names(0, 20) + kTail, names(0, 20) + kTail},
        // One more name takes no more room than "and 1 more".
        {"TwentyOne", names(0, 21) + kTail, names(0, 21) + kTail},
        {"TwentyTwo", names(0, 22) + kTail, names(0, 20) + " and 2 more\r\n" + kTail},
        {"Thousands", names(0, 5000) + kTail, names(0, 20) + " and 4980 more\r\n" + kTail},
        {"NoBreak", "n0.bas\r\n\r\n file written to disk", "n0.bas\r\n\r\n file written to disk"},
        {"OneLine", "No Functions selected for conversion", "No Functions selected for conversion"},
        {"ListWithoutTail", names(0, 25), names(0, 20) + " and 5 more\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shortenedList(c.text), c.expected) << c.name;
}

TEST(ShortenedList, TheNumberShownCanBeGiven) {
    EXPECT_EQ(shortenedList(names(0, 5) + kTail, 2), names(0, 2) + " and 3 more\r\n" + kTail);
}

} // namespace
} // namespace travonix
