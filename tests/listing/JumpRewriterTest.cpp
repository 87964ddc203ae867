#include "ListingText.h"

#include "listing/JumpRewriter.h"
#include "support/FakeEnvironment.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

struct JumpCase {
    const char* what;
    const char* line;
    const char* expected; // nullptr: the line stays as it is
    JumpLineResult result;
};

const JumpCase kJumpCases[] = {
    {"call back 65 words", "9d000100:\t0f400000 \tjal\t9d000000 <f>",
     "9d000100:\t0411FFBF\tbal\t9d000000 <f>", JumpLineResult::Rewritten},
    {"call forward 3 words", "9d000010:\t0f400008 \tjal\t9d000020 <g>",
     "9d000010:\t04110003\tbal\t9d000020 <g>", JumpLineResult::Rewritten},
    {"jump to itself", "9d000040:\t08400010 \tj\t9d000040 <loop>",
     "9d000040:\t1000FFFF\tb\t9d000040 <loop>", JumpLineResult::Rewritten},
    {"upper-case mnemonics", "9d000040:\t0F400010 \tJAL\t9d000050 <h>",
     "9d000040:\t04110003\tbal\t9d000050 <h>", JumpLineResult::Rewritten},
    {"upper-case J", "9d000040:\t08400014 \tJ\t9d000050 <h>",
     "9d000040:\t10000003\tb\t9d000050 <h>", JumpLineResult::Rewritten},
    {"+32767 words reach", "9d000000:\t0f480000 \tjal\t9d020000 <far>",
     "9d000000:\t04117FFF\tbal\t9d020000 <far>", JumpLineResult::Rewritten},
    {"+32768 words out of reach", "9d000000:\t0f480001 \tjal\t9d020004 <far>", nullptr,
     JumpLineResult::OutOfReach},
    {"-32767 words reach", "9d000000:\t0f3f8002 \tj\t9cfe0008 <back>",
     "9d000000:\t10008001\tb\t9cfe0008 <back>", JumpLineResult::Rewritten},
    {"-32768 words out of reach", "9d000000:\t0b3f8001 \tj\t9cfe0004 <back>", nullptr,
     JumpLineResult::OutOfReach},
    {"+6 bytes truncates to 1 word", "9d000000:\t0f400002 \tjal\t9d00000a <odd>",
     "9d000000:\t04110001\tbal\t9d00000a <odd>", JumpLineResult::Rewritten},
    {"-6 bytes truncates toward zero", "9d000000:\t0f400000 \tjal\t9cfffffe <odd>",
     "9d000000:\t0411FFFF\tbal\t9cfffffe <odd>", JumpLineResult::Rewritten},
    {"difference beyond 32 bits", "7ffffff0:\t0c000000 \tjal\t80000000 <x>", nullptr,
     JumpLineResult::OutOfReach},
    {"jalr is four characters", "9d000010:\t0320f809 \tjalr\tt9", nullptr,
     JumpLineResult::NotAJump},
    {"jr is not j", "9d000010:\t03e00008 \tjr\tra", nullptr, JumpLineResult::NotAJump},
    {"rewritten bal", "9d000010:\t04110003\tbal\t9d000020 <g>", nullptr, JumpLineResult::NotAJump},
    {"three fields", "9d000014:\t00000000 \tnop", nullptr, JumpLineResult::NotAJump},
    {"five fields", "9d000010:\t0f400008 \tjal\t9d000020 <g>\textra", nullptr,
     JumpLineResult::NotAJump},
    {"header", "9d000000 <jal>:", nullptr, JumpLineResult::NotAJump},
    // A symbol whose text holds TABs in the shape of a jal line: generation
    // finds its function by this header, so it must stay as it is.
    {"header shaped like a jal line", "9d000000 <a\t0c000000 \tjal\t9d000000 <b>:", nullptr,
     JumpLineResult::NotAJump},
    {"empty", "", nullptr, JumpLineResult::NotAJump},
    {"cut data line", "9d000100:\t0f400000 ", nullptr, JumpLineResult::NotAJump},
};

TEST(JumpRewriting, RewritesReachableJumpsAndLeavesEverythingElse) {
    for (const JumpCase& c : kJumpCases) {
        std::string line = c.line;
        EXPECT_EQ(rewriteJumpLine(line), c.result) << c.what;
        EXPECT_EQ(line, c.expected ? c.expected : c.line) << c.what;
    }
}

TEST(JumpRewriting, PassSelectsRewrittenLinesAndCountsTheOnesOutOfReach) {
    std::vector<ListingItem> listing;
    for (const JumpCase& c : kJumpCases)
        listing.push_back({c.line, false});
    listing.push_back({"9d000000:\t00000000 \tnop", true}); // an earlier highlight stays

    EXPECT_EQ(rewriteJumps(listing), 3);
    for (std::size_t i = 0; i < std::size(kJumpCases); ++i) {
        const JumpCase& c = kJumpCases[i];
        EXPECT_EQ(listing[i].selected, c.result == JumpLineResult::Rewritten) << c.what;
        EXPECT_EQ(listing[i].text, c.expected ? c.expected : c.line) << c.what;
    }
    EXPECT_TRUE(listing.back().selected);

    // A second pass changes nothing and counts the same lines again.
    auto before = textsOf(listing);
    EXPECT_EQ(rewriteJumps(listing), 3);
    EXPECT_EQ(textsOf(listing), before);
}

class ConvertJumpsCommand : public ::testing::Test {
  protected:
    ScriptedServices ui;
    FakeEnvironment env;
    Form form{ui, env};
};

TEST_F(ConvertJumpsCommand, TwoOutOfReachGiveOneMessageCountingTwo) {
    form.state.showFile = {
        {"9d000000:\t0f480001 \tjal\t9d020004 <far>", false},
        {"9d000010:\t0f400008 \tjal\t9d000020 <g>", false},
        {"9d000014:\t0f480001 \tj\t9d080000 <farther>", false},
    };
    ConvertJumps(form);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text,
              "There are 2 unconverted JAL/J instructions in the output, targets are too far away");
    EXPECT_EQ(ui.messages[0].title, "Travonix");
    EXPECT_EQ(form.state.showFile[1].text, "9d000010:\t04110003\tbal\t9d000020 <g>");
    EXPECT_TRUE(form.state.showFile[1].selected);
    EXPECT_FALSE(form.state.showFile[0].selected);
}

TEST_F(ConvertJumpsCommand, ListingWithoutJumpsShowsNothing) {
    form.state.showFile = {
        {"", false}, {"9d000000 <f>:", false}, {"9d000000:\t03e00008 \tjr\tra", false}};
    auto before = textsOf(form.state.showFile);
    ConvertJumps(form);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(textsOf(form.state.showFile), before);
}

} // namespace
} // namespace travonix::test
