// A line's TABs and the characters the reader's tests look for are found
// eight characters at a time: wherever they fall, the scan must say what a
// plain look at each character says.
#include "core/Listing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace travonix::test {
namespace {

LineScan plainScan(const std::string& line) {
    LineScan scan;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            if (scan.tabCount < 3)
                scan.tabs[scan.tabCount] = static_cast<std::uint32_t>(i);
            if (scan.tabCount < 4)
                ++scan.tabCount;
        }
        scan.hasDot = scan.hasDot || c == '.';
        scan.hasUnderscore = scan.hasUnderscore || c == '_';
        scan.hasLessThan = scan.hasLessThan || c == '<';
        scan.hasY = scan.hasY || c == 'y' || c == 'Y';
    }
    return scan;
}

void expectSameScan(const std::string& line) {
    const LineScan found = scanLine(line);
    const LineScan expected = plainScan(line);
    EXPECT_EQ(found.tabCount, expected.tabCount) << line;
    for (std::size_t k = 0; k < expected.tabCount && k < 3; ++k)
        EXPECT_EQ(found.tabs[k], expected.tabs[k]) << line;
    EXPECT_EQ(found.hasDot, expected.hasDot) << line;
    EXPECT_EQ(found.hasUnderscore, expected.hasUnderscore) << line;
    EXPECT_EQ(found.hasLessThan, expected.hasLessThan) << line;
    EXPECT_EQ(found.hasY, expected.hasY) << line;
}

TEST(LineScan, ListingLines) {
    for (const char* line : {"9d000040:\t27bdffe8 \taddiu\tsp,sp,-24",
                             "9d000008:\t0411fffd \tbal\t9d000000 <crc_step>",
                             "Disassembly of section .text:", "9d000000 <_on_reset>:", "...",
                             "9d000124:\t0000 \t.short\t0x0\t\t\t", "", "\t"})
        expectSameScan(line);
}

TEST(LineScan, RandomLinesOfNeighbouringCharacters) {
    // The characters looked for, their neighbours (a borrow between bytes
    // must not fake one), their other letter case, and high bytes.
    const std::string alphabet =
        std::string(".-/_^`<=;\t\n\x08yYxzZ9 ") + "\xae\xdf\xbc\x89\xf9\xd9";
    std::mt19937 random(1210);
    for (int round = 0; round < 3000; ++round) {
        std::string line(random() % 100, ' ');
        for (char& c : line)
            c = alphabet[random() % alphabet.size()];
        expectSameScan(line);
    }
}

TEST(LineScan, TabsPastTheFourthAreCountedNoFurther) {
    const LineScan scan = scanLine("a\tb\tc\td\te\tf\tg\th\t");
    EXPECT_EQ(scan.tabCount, 4);
    EXPECT_EQ(scan.tabs[0], 1U);
    EXPECT_EQ(scan.tabs[1], 3U);
    EXPECT_EQ(scan.tabs[2], 5U);
}

} // namespace
} // namespace travonix::test
