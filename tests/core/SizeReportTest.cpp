#include "core/SizeReport.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

TEST(SizeReport, KilobytesWithTwoDecimals) {
    const struct {
        std::int64_t words;
        const char* text;
    } cases[] = {
        {0, ".00 KB"},
        {9, ".04 KB"},
        {300, "1.17 KB"},
        {32, ".13 KB"}, // 0.125 KB: a half rounds up
        {1, ".00 KB"},
        {2, ".01 KB"},
        {256, "1.00 KB"},
        {2559, "10.00 KB"},
        {2560000, "10000.00 KB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sizeReportText(c.words), c.text) << c.words << " words";
}

} // namespace
} // namespace travonix::test
