#include "core/JumpRewriter.h"
#include "core/Text.h"
#include "support/ListingBuilder.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

enum class Outcome { Rewritten, OutOfReach, NotAJump };

struct JumpCase {
    const char* what;
    const char* line;
    const char* expected; // nullptr: the line stays as it is
    Outcome outcome;
    std::uint32_t target = 0;
};

const JumpCase kJumpCases[] = {
    {"call back 65 words", "9d000100:\t0f400000 \tjal\t9d000000 <f>",
     "9d000100:\t0411FFBF\tbal\t9d000000 <f>", Outcome::Rewritten, 0x9d000000},
    {"call forward 3 words", "9d000010:\t0f400008 \tjal\t9d000020 <g>",
     "9d000010:\t04110003\tbal\t9d000020 <g>", Outcome::Rewritten, 0x9d000020},
    {"jump to itself", "9d000040:\t0b400010 \tj\t9d000040 <loop>",
     "9d000040:\t1000FFFF\tb\t9d000040 <loop>", Outcome::Rewritten, 0x9d000040},
    {"upper-case mnemonics", "9d000040:\t0F400014 \tJAL\t9d000050 <h>",
     "9d000040:\t04110003\tbal\t9d000050 <h>", Outcome::Rewritten, 0x9d000050},
    {"upper-case J", "9d000040:\t0B400014 \tJ\t9d000050 <h>",
     "9d000040:\t10000003\tb\t9d000050 <h>", Outcome::Rewritten, 0x9d000050},
    {"+32767 words reach", "9d000000:\t0f408000 \tjal\t9d020000 <far>",
     "9d000000:\t04117FFF\tbal\t9d020000 <far>", Outcome::Rewritten, 0x9d020000},
    {"+32768 words out of reach", "9d000000:\t0f408001 \tjal\t9d020004 <far>", nullptr,
     Outcome::OutOfReach, 0x9d020004},
    {"-32767 words reach", "9d000000:\t0b3f8002 \tj\t9cfe0008 <back>",
     "9d000000:\t10008001\tb\t9cfe0008 <back>", Outcome::Rewritten, 0x9cfe0008},
    {"-32768 words out of reach", "9d000000:\t0b3f8001 \tj\t9cfe0004 <back>", nullptr,
     Outcome::OutOfReach, 0x9cfe0004},
    // The word holds the target; a text that names another one is not
    // believed, and the new line names the word's.
    {"text naming another target", "9d000000:\t0f400002 \tjal\t9d00000a <odd>",
     "9d000000:\t04110001\tbal\t9d000008", Outcome::Rewritten, 0x9d000008},
    {"text naming a target behind", "9d000000:\t0f400000 \tjal\t9cfffffe <odd>",
     "9d000000:\t0411FFFF\tbal\t9d000000", Outcome::Rewritten, 0x9d000000},
    // A jal reaches into the 256 MiB region of its delay slot, not its own.
    {"delay slot in the next region", "9ffffffc:\t0c000001 \tjal\ta0000004 <x>",
     "9ffffffc:\t04110001\tbal\ta0000004 <x>", Outcome::Rewritten, 0xa0000004},
    {"another region is out of reach", "7ffffff0:\t0c000000 \tjal\t70000000 <x>", nullptr,
     Outcome::OutOfReach, 0x70000000},
    {"jalr is four characters", "9d000010:\t0320f809 \tjalr\tt9", nullptr, Outcome::NotAJump},
    {"jr is not j", "9d000010:\t03e00008 \tjr\tra", nullptr, Outcome::NotAJump},
    {"rewritten bal", "9d000010:\t04110003\tbal\t9d000020 <g>", nullptr, Outcome::NotAJump},
    {"three fields", "9d000014:\t00000000 \tnop", nullptr, Outcome::NotAJump},
    {"a symbol holding a TAB", "9d000010:\t0f400008 \tjal\t9d000020 <g\tx>",
     "9d000010:\t04110003\tbal\t9d000020 <g\tx>", Outcome::Rewritten, 0x9d000020},
    {"header", "9d000000 <jal>:", nullptr, Outcome::NotAJump},
    // A symbol whose text holds TABs in the shape of a jal line: generation
    // finds its function by this header, so it must stay as it is.
    {"header shaped like a jal line", "9d000000 <a\t0c000000 \tjal\t9d000000 <b>:", nullptr,
     Outcome::NotAJump},
    {"empty", "", nullptr, Outcome::NotAJump},
    {"cut data line", "9d000100:\t0f400000 ", nullptr, Outcome::NotAJump},
};

TEST(JumpRewriting, RewritesReachableJumpsAndLeavesEverythingElse) {
    for (const JumpCase& c : kJumpCases) {
        SCOPED_TRACE(c.what);
        const auto jump = rewriteJumpText(c.line);
        if (c.outcome == Outcome::NotAJump) {
            EXPECT_FALSE(jump.has_value());
            continue;
        }
        ASSERT_TRUE(jump.has_value());
        EXPECT_EQ(jump->reachable, c.outcome == Outcome::Rewritten);
        EXPECT_EQ(jump->target, c.target);
        EXPECT_EQ(jump->text, c.expected ? c.expected : "");
    }
}

std::size_t countOf(Outcome outcome) {
    std::size_t n = 0;
    for (const JumpCase& c : kJumpCases)
        n += c.outcome == outcome ? 1 : 0;
    return n;
}

TEST(JumpRewriting, PassRewritesInPlaceMarksTheLinesAndCountsTheOnesOutOfReach) {
    ListingBuilder built;
    for (const JumpCase& c : kJumpCases)
        built.line(c.line);
    built.line("9d000000:\t00000000 \tnop");
    Listing& listing = built.listing;
    const std::size_t earlier = listing.size() - 1;
    listing.markRewritten(earlier); // a highlight of an earlier pass stays

    const JumpReport report = rewriteJumps(listing);
    EXPECT_EQ(report.rewritten, countOf(Outcome::Rewritten));
    ASSERT_EQ(report.unconverted.size(), countOf(Outcome::OutOfReach));
    std::size_t next = 0;
    for (std::size_t i = 0; i < std::size(kJumpCases); ++i) {
        const JumpCase& c = kJumpCases[i];
        SCOPED_TRACE(c.what);
        EXPECT_EQ(listing.line(i).rewritten, c.outcome == Outcome::Rewritten);
        EXPECT_EQ(listing.text(i), c.expected ? c.expected : c.line);
        if (c.outcome == Outcome::OutOfReach) {
            ASSERT_LT(next, report.unconverted.size());
            EXPECT_EQ(report.unconverted[next].line, i);
            EXPECT_EQ(report.unconverted[next].address, hexValue(c.line));
            EXPECT_EQ(report.unconverted[next].target, c.target);
            ++next;
        }
    }
    EXPECT_TRUE(listing.line(earlier).rewritten);
    // A warning for each line whose text names another target than its
    // word, then the one message counting the jumps out of reach.
    ASSERT_EQ(report.diagnostics.size(), 3U);
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(report.diagnostics[k].kind, Diagnostic::Kind::Warning);
        EXPECT_NE(report.diagnostics[k].text.find("<odd>"), std::string::npos);
    }
    EXPECT_EQ(report.diagnostics[2].kind, Diagnostic::Kind::Message);
    EXPECT_EQ(report.diagnostics[2].text, unconvertedJumpsMessage(3));

    // A second pass changes nothing and counts the same lines again.
    const auto before = textsOf(listing);
    const JumpReport again = rewriteJumps(listing);
    EXPECT_EQ(again.rewritten, 0U);
    EXPECT_EQ(again.unconverted.size(), countOf(Outcome::OutOfReach));
    EXPECT_EQ(textsOf(listing), before);
}

TEST(JumpRewriting, TwoOutOfReachGiveOneMessageCountingTwo) {
    ListingBuilder built;
    built.line("9d000000:\t0f408001 \tjal\t9d020004 <far>")
        .line("9d000010:\t0f400008 \tjal\t9d000020 <g>")
        .line("9d000014:\t0b420000 \tj\t9d080000 <farther>");

    const JumpReport report = rewriteJumps(built.listing);

    ASSERT_EQ(report.diagnostics.size(), 1U);
    EXPECT_EQ(report.diagnostics[0].kind, Diagnostic::Kind::Message);
    EXPECT_EQ(report.diagnostics[0].text,
              "There are 2 unconverted JAL/J instructions in the output, targets are too far away");
    EXPECT_EQ(built.listing.text(1), "9d000010:\t04110003\tbal\t9d000020 <g>");
    EXPECT_TRUE(built.listing.line(1).rewritten);
    EXPECT_FALSE(built.listing.line(0).rewritten);
    EXPECT_FALSE(built.listing.line(2).rewritten);
}

TEST(JumpRewriting, ListingWithoutJumpsGivesNoMessage) {
    ListingBuilder built;
    built.line("").line("9d000000 <f>:").line("9d000000:\t03e00008 \tjr\tra");
    const auto before = textsOf(built.listing);

    const JumpReport report = rewriteJumps(built.listing);

    EXPECT_EQ(report.rewritten, 0U);
    EXPECT_TRUE(report.unconverted.empty());
    EXPECT_TRUE(report.diagnostics.empty());
    EXPECT_EQ(textsOf(built.listing), before);
}

TEST(JumpRewriting, DataAndFillerLinesAreNeverRewrittenNorCounted) {
    Listing listing;
    listing.addMadeLine("9d000100:\t0b400040 \tj\t9d000100 <table>", LineKind::Data);
    listing.addMadeLine("9d000104:\t0f448001 \tjal\t9d120004 <far>", LineKind::Data);
    listing.addMadeLine("9d000108:\t0b400042\tj\t9d000108 <x>", LineKind::Filler);
    listing.addMadeLine("9d00010c:\t0b400043 \tj\t9d00010c <code>", LineKind::Instruction);
    const auto before = textsOf(listing);

    const JumpReport report = rewriteJumps(listing);

    EXPECT_EQ(report.rewritten, 1U);
    EXPECT_TRUE(report.unconverted.empty());
    EXPECT_TRUE(report.diagnostics.empty());
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(listing.text(i), before[i]) << i;
        EXPECT_FALSE(listing.line(i).rewritten) << i;
    }
    EXPECT_EQ(listing.text(3), "9d00010c:\t1000FFFF\tb\t9d00010c <code>");
}

} // namespace
} // namespace travonix::test
