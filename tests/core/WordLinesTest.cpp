// What runs on the chip is a code line's word. A line cut inside its word,
// or whose text says another instruction than its word, must neither slip
// into a block short of words nor hide a jump from the rewriting, the jalr
// question or the check.

#include "core/Conversion.h"
#include "core/InstructionWord.h"
#include "core/JumpRewriter.h"
#include "core/ListingReader.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

// A .text section with `f` (whose third line is `middle`) and `g`.
std::string listingWith(std::string_view middle) {
    return listingFile(
        {"", "Disassembly of section .text:", "",
         "9d000000 <f>:", "9d000000:\t27bdffe8 \taddiu\tsp,sp,-24", "9d000004:\t00000000 \tnop",
         middle, "9d00000c:\t03e00008 \tjr\tra", "9d000010:\t00000000 \tnop", "",
         "9d000014 <g>:", "9d000014:\t03e00008 \tjr\tra", "9d000018:\t00000000 \tnop", ""});
}

ConversionSettings settingsFor(OutputMode mode) {
    ConversionSettings settings;
    settings.mode = mode;
    settings.mergedName = mode == OutputMode::Merged ? "Blk" : "";
    settings.outputFolder = "out";
    return settings;
}

TEST(WordLines, ACodeLineWithoutItsWholeWordKeepsItsFunctionFromBeingWritten) {
    const struct {
        const char* what;
        const char* line;
    } cases[] = {
        {"cut inside its word", "9d000008:\t0"},
        {"cut after the address", "9d000008:"},
        {"seven digits", "9d000008:\t0085102 \taddu\tv0,a0,a1"},
        {"not hexadecimal", "9d000008:\t0085102g \taddu\tv0,a0,a1"},
        {"nine digits", "9d000008:\t008510210 \taddu\tv0,a0,a1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReadResult read = readListing(listingWith(c.line), {false, true, false});
        ASSERT_EQ(read.listing.malformedLines().size(), 1U);

        const ConversionPlan each =
            planConversion(read.listing, read.functions, settingsFor(OutputMode::IndividualFiles));
        EXPECT_EQ(each.status, ConversionPlan::Status::Ready);
        ASSERT_EQ(each.rows.size(), 1U) << "the other function is still written";
        EXPECT_EQ(each.rows[0].name, "g");
        ASSERT_EQ(each.diagnostics.size(), 1U);
        const Diagnostic& d = each.diagnostics[0];
        EXPECT_EQ(d.kind, Diagnostic::Kind::Error);
        EXPECT_EQ(d.function, "f");
        EXPECT_EQ(d.address, 0x9d000008U);
        EXPECT_NE(d.text.find("line 7 of the listing"), std::string::npos) << d.text;
        EXPECT_NE(d.text.find("Function f"), std::string::npos) << d.text;

        const ConversionPlan merged =
            planConversion(read.listing, read.functions, settingsFor(OutputMode::Merged));
        EXPECT_EQ(merged.status, ConversionPlan::Status::Failed) << "nothing may be written";
    }
}

TEST(WordLines, WholeWordsAndObjdumpsShortDataFormsAreNoFault) {
    const std::string text = listingFile(
        {"", "Disassembly of section .text:", "", "9d000000 <f>:", "9d000000:\t03e00008 \tjr\tra",
         "9d000004:\t00000000 \tnop", "", "", "Disassembly of section .rodata:", "",
         "9d000010 <tab>:", "9d000010:\t00010203 \t.word", "9d000014:\t0405      \t.short",
         "9d000016:\t06        \t.byte", ""});
    for (const bool full : {false, true}) {
        const ReadResult read = readListing(text, {false, true, full});
        EXPECT_TRUE(read.listing.malformedLines().empty()) << (full ? "full" : "sections");
    }
}

TEST(WordLines, TheWordDecidesTheJumpRewritingAndATextThatContradictsItIsReported) {
    const struct {
        const char* what;
        const char* line;
        bool rewritten;
        const char* expected; // the line afterwards
    } cases[] = {
        {"a jal shown as nop", "9d000008:\t0f400005 \tnop", true,
         "9d000008:\t04110002\tbal\t9d000014"},
        {"a nop shown as jal", "9d000008:\t00000000 \tjal\t9d000014 <g>", false,
         "9d000008:\t00000000 \tjal\t9d000014 <g>"},
        {"a jal shown with another target", "9d000008:\t0f400005 \tjal\t9d000000 <f>", true,
         "9d000008:\t04110002\tbal\t9d000014"},
        {"a jalr shown as nop", "9d000008:\t0320f809 \tnop", false, "9d000008:\t0320f809 \tnop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReadResult read = readListing(listingWith(c.line), {false, true, false});
        const JumpReport report = rewriteJumps(read.listing);
        EXPECT_EQ(report.rewritten, c.rewritten ? 1U : 0U);
        EXPECT_EQ(read.listing.text(4), c.expected);
        ASSERT_EQ(report.diagnostics.size(), 1U);
        EXPECT_EQ(report.diagnostics[0].kind, Diagnostic::Kind::Warning);
        EXPECT_EQ(report.diagnostics[0].address, 0x9d000008U);
        EXPECT_NE(report.diagnostics[0].text.find("9d000008"), std::string::npos);
    }
    // A listing whose text says what its words are gives no such report.
    ReadResult agreeing =
        readListing(listingWith("9d000008:\t0f400005 \tjal\t9d000014 <g>"), {false, true, false});
    const JumpReport report = rewriteJumps(agreeing.listing);
    EXPECT_EQ(report.rewritten, 1U);
    EXPECT_TRUE(report.diagnostics.empty());
    EXPECT_EQ(agreeing.listing.text(4), "9d000008:\t04110002\tbal\t9d000014 <g>");
}

TEST(WordLines, TheJalrQuestionIsAskedOfTheWordNotTheMnemonic) {
    const struct {
        const char* what;
        const char* line;
        std::size_t questions;
    } cases[] = {
        {"a jalr shown as nop", "9d000008:\t0320f809 \tnop", 1},
        {"a nop shown as jalr", "9d000008:\t00000000 \tjalr\tt9", 0},
        {"jalr.hb", "9d000008:\t0320fc09 \tjalr.hb\tt9", 1},
        {"a symbol holding jalr", "9d000008:\t0f400005 \tjal\t9d000014 <do_jalr>", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReadResult read = readListing(listingWith(c.line), {false, true, false});
        const ConversionPlan plan =
            planConversion(read.listing, read.functions, settingsFor(OutputMode::SingleFile));
        EXPECT_EQ(jalrLinesOf(read.listing, plan).size(), c.questions);
        std::size_t asked = 0;
        (void)buildBlocks(read.listing, plan, settingsFor(OutputMode::SingleFile), Stamp{},
                          [&](const JalrLine& line) {
                              EXPECT_EQ(line.address, 0x9d000008U);
                              ++asked;
                              return true;
                          });
        EXPECT_EQ(asked, c.questions);
    }
}

TEST(InstructionWord, ClassesAndTargetsComeFromTheBits) {
    const struct {
        std::uint32_t word;
        WordClass kind;
        std::optional<std::uint32_t> target; // at 0x9d000100
    } cases[] = {
        {0x0f400000, WordClass::Call, 0x9d000000},
        {0x0b400010, WordClass::Jump, 0x9d000040},
        {0x77400000, WordClass::ModeCall, 0x9d000000},
        {0x03e00008, WordClass::RegisterJump, {}},
        {0x0320f809, WordClass::RegisterCall, {}},
        {0x1000ffff, WordClass::Branch, 0x9d000100},
        {0x04110003, WordClass::BranchAndLink, 0x9d000110},
        {0x1440fffe, WordClass::Branch, 0x9d0000fc},
        {0x45000002, WordClass::Branch, 0x9d00010c},
        {0x041c0001, WordClass::Branch, 0x9d000108},
        {0x0000000d, WordClass::Other, {}},
        {0x27bdffe8, WordClass::Other, {}},
        {0x04080000, WordClass::Other, {}}, // tgei
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(classOfWord(c.word), c.kind);
        EXPECT_EQ(fixedTarget(0x9d000100, c.word), c.target);
    }
    EXPECT_EQ(wholeWord("0085102a "), 0x0085102aU);
    EXPECT_EQ(wholeWord("0085102A"), 0x0085102aU);
    for (const char* bad : {"", "0", "0085102 ", "0085102g", "0085102a  ", " 0085102a"})
        EXPECT_EQ(wholeWord(bad), std::nullopt) << bad;
}

} // namespace
} // namespace travonix::test
