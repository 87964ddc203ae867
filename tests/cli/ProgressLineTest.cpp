#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

#include <sstream>

namespace travonix::cli {
namespace {

using namespace std::chrono_literals;
using Time = std::chrono::steady_clock::time_point;

// Quiet for the first second, then at most ten texts a second, each written
// over the one before; cleared before anything else goes to the terminal.
TEST(ProgressLine, SpeaksOnlyAfterASecondAndWritesOverItself) {
    Time now{};
    std::ostringstream terminal;
    ProgressLine line(terminal, [&now] { return now; });

    now += 900ms;
    EXPECT_FALSE(line.due()) << "a run shorter than a second prints nothing more";
    now += 200ms;
    ASSERT_TRUE(line.due());
    line.show("Disassembling: 1.0 MB");
    now += 50ms;
    EXPECT_FALSE(line.due()) << "no more than ten texts a second";
    now += 60ms;
    ASSERT_TRUE(line.due());
    line.show("Done: 2 MB");
    line.clear();
    line.clear(); // nothing shown: nothing to blank
    EXPECT_EQ(terminal.str(), "\rDisassembling: 1.0 MB"
                              "\rDone: 2 MB           "
                              "\r          \r");
}

TEST(ProgressLine, ClearsNothingWhenItNeverSpoke) {
    std::ostringstream terminal;
    ProgressLine line(terminal);
    line.clear();
    EXPECT_EQ(terminal.str(), "");
}

} // namespace
} // namespace travonix::cli
