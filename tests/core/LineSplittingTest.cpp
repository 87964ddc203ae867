// A file's text is cut into lines eight characters at a time; every way a
// line end can fall on those eight must give the lines a plain reading does.
#include "core/Text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace travonix::test {
namespace {

using Spans = std::vector<std::pair<std::size_t, std::size_t>>;

// One character at a time: CR LF, LF and a lone CR end a line.
Spans plainReading(const std::string& text) {
    Spans spans;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        spans.emplace_back(start, i - start);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        spans.emplace_back(start, text.size() - start);
    return spans;
}

Spans linesOf(const std::string& text) {
    Spans spans;
    forEachLine(text, [&spans](std::size_t start, std::size_t length) {
        spans.emplace_back(start, length);
    });
    return spans;
}

TEST(LineSplitting, EachLineEndAnywhereInAWordOfEight) {
    const std::vector<std::string> ends = {"\r\n", "\n", "\r", "\r\r", "\n\r", "\n\n"};
    for (const std::string& end : ends) {
        for (std::size_t before = 0; before < 20; ++before) {
            for (std::size_t after = 0; after < 10; ++after) {
                const std::string text =
                    std::string(before, 'a') + end + std::string(after, '\t') + end;
                EXPECT_EQ(linesOf(text), plainReading(text)) << before << " " << after;
            }
        }
    }
}

TEST(LineSplitting, MixedTextsReadAsThePlainReadingDoes) {
    // Line ends among characters just above and below them, and bytes with
    // the high bit set, so no borrow between bytes fakes a line end.
    const std::string alphabet = std::string("\r\n\t\x0b\x0c\x0e x9:") + "\x8a\x8d\xff\x0a";
    std::mt19937 random(20261210);
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 64, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        ASSERT_EQ(linesOf(text), plainReading(text)) << round;
    }
}

TEST(LineSplitting, EmptyTextAndTextWithoutLineEnd) {
    EXPECT_TRUE(linesOf("").empty());
    EXPECT_EQ(linesOf("9d000000:\t00000000"), (Spans{{0, 18}}));
}

} // namespace
} // namespace travonix::test
