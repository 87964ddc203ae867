#include "core/GapFilling.h"
#include "core/ListingReader.h"
#include "core/Text.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

ReadResult readSections(const std::string& text) {
    return readListing(text, ReadOptions{false, false, false});
}

TEST(GapFilling, GapAfterAnInstructionIsFilledUpToTheNextInstruction) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <f>:",
        "9d000010:\t24020001 \tli\tv0,1",
        "\t...",
        "9d000030:\t03e00008 \tjr\tra",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000000 <f>:",
                                           "9d000010:\t24020001 \tli\tv0,1",
                                           codeFiller("9D000014"),
                                           codeFiller("9D000018"),
                                           codeFiller("9D00001C"),
                                           codeFiller("9D000020"),
                                           codeFiller("9D000024"),
                                           codeFiller("9D000028"),
                                           codeFiller("9D00002C"),
                                           "9d000030:\t03e00008 \tjr\tra",
                                       }));
    // Filler lines carry their addresses and are never taken for jumps.
    EXPECT_EQ(result.listing.line(3).kind, LineKind::Filler);
    EXPECT_EQ(result.listing.address(3), 0x9d000014U);
    EXPECT_EQ(result.listing.address(9), 0x9d00002cU);
    EXPECT_TRUE(result.diagnostics.empty());
}

TEST(GapFilling, GapAfterAHeaderStartsAtTheHeadersAddress) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000100 <zeros>:",
        "\t...",
        "9d000108:\t03e00008 \tjr\tra",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000100 <zeros>:",
                                           codeFiller("9D000100"),
                                           codeFiller("9D000104"),
                                           "9d000108:\t03e00008 \tjr\tra",
                                       }));
}

// objdump ends a function's padding with "..." and an empty line; the zeros
// run up to the next function's header and belong to the function before.
TEST(GapFilling, GapBeforeTheNextFunctionIsFilledBeforeTheEmptyLine) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <f>:",
        "9d000000:\t03e00008 \tjr\tra",
        "\t...",
        "",
        "9d000010 <g>:",
        "9d000010:\t03e00008 \tjr\tra",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000000 <f>:",
                                           "9d000000:\t03e00008 \tjr\tra",
                                           codeFiller("9D000004"),
                                           codeFiller("9D000008"),
                                           codeFiller("9D00000C"),
                                           "",
                                           "9d000010 <g>:",
                                           "9d000010:\t03e00008 \tjr\tra",
                                       }));
    // The header of g is still found where the function list says.
    ASSERT_EQ(result.functions.size(), 2U);
    EXPECT_EQ(result.functions[1].headerLine, 7U);
}

TEST(GapFilling, DataSectionGapsUseTheDataFiller) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .rodata:",
        "",
        "9d000100 <table>:",
        "9d000100:\t00000001 \tmovf\tzero,zero,$fcc0",
        "\t...",
        "9d00010c:\t00000005 \tlsa\tzero,zero,zero,0x1",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000100 <table>:",
                                           "9d000100:\t00000001 ",
                                           dataFiller("9D000104"),
                                           dataFiller("9D000108"),
                                           "9d00010c:\t00000005 ",
                                       }));
}

TEST(GapFilling, GapEndingItsSectionGetsTwoLinesInTheNextSectionRead) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <f>:",
        "9d000010:\t03e00008 \tjr\tra",
        "\t...",
        "Disassembly of section .rodata:",
        "",
        "9d000100 <table>:",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000000 <f>:",
                                           "9d000010:\t03e00008 \tjr\tra",
                                           dataFiller("9D000014"),
                                           dataFiller("9D000018"),
                                           "",
                                           "9d000100 <table>:",
                                       }));
}

TEST(GapFilling, GapFollowedOnlyByEmptyLinesBeforeTheSectionEndGetsTwoLines) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <f>:",
        "9d000000:\t03e00008 \tjr\tra",
        "\t...",
        "",
        "Disassembly of section .rodata:",
        "",
        "9d000100 <table>:",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000000 <f>:",
                                           "9d000000:\t03e00008 \tjr\tra",
                                           codeFiller("9D000004"),
                                           codeFiller("9D000008"),
                                           "",
                                           "",
                                           "9d000100 <table>:",
                                       }));
}

// Inside a left-out main the line before the gap is the empty line that
// precedes main: its record has no address, so the count is unknown.
TEST(GapFilling, GapInsideASkippedMainGetsTwoLinesFromAddressZero) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <f>:",
        "9d000000:\t03e00008 \tjr\tra",
        "",
        "9d000010 <main>:",
        "9d000010:\t03e00008 \tjr\tra",
        "\t...",
        "",
        "9d000040 <g>:",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000000 <f>:",
                                           "9d000000:\t03e00008 \tjr\tra",
                                           "",
                                           codeFiller("0"),
                                           codeFiller("4"),
                                           "",
                                           "9d000040 <g>:",
                                       }));
}

TEST(GapFilling, NextAddressNotAWordAboveTheStartGetsTwoLines) {
    for (const char* next : {"9d000014:\t03e00008 \tjr\tra", "9d000000:\t03e00008 \tjr\tra",
                             "9d000016:\t03e00008 \tjr\tra"}) {
        const ReadResult result = readSections(listingFile({
            "Disassembly of section .text:",
            "9d000010:\t24020001 \tli\tv0,1",
            "\t...",
            next,
        }));
        EXPECT_EQ(textsOf(result.listing), (Texts{
                                               "9d000010:\t24020001 \tli\tv0,1",
                                               codeFiller("9D000014"),
                                               codeFiller("9D000018"),
                                               next,
                                           }))
            << next;
    }
}

TEST(GapFilling, GapsUpToTheCapAreFilledWholeLongerOnesGetTwoLines) {
    // 65,536 words from 9d000000 end at 9d040000.
    const ReadResult atCap = readSections(listingFile({
        "Disassembly of section .text:",
        "9d000000 <big>:",
        "\t...",
        "9d040000:\t03e00008 \tjr\tra",
    }));
    ASSERT_EQ(atCap.listing.size(), 2U + kMaxGapWords);
    EXPECT_EQ(atCap.listing.text(1), codeFiller("9D000000"));
    EXPECT_EQ(atCap.listing.text(kMaxGapWords), codeFiller("9D03FFFC"));

    const ReadResult beyond = readSections(listingFile({
        "Disassembly of section .text:",
        "9d000000 <big>:",
        "\t...",
        "9d040004:\t03e00008 \tjr\tra",
    }));
    EXPECT_EQ(textsOf(beyond.listing), (Texts{
                                           "9d000000 <big>:",
                                           codeFiller("9D000000"),
                                           codeFiller("9D000004"),
                                           "9d040004:\t03e00008 \tjr\tra",
                                       }));
}

TEST(GapFilling, FillerOfOneReadIsBoundedAndTheReadWarns) {
    // Gaps of 65,536 words each: sixteen fill 4 MiB, the next ones get two
    // lines, so a small listing cannot make a run hold or write gigabytes.
    std::vector<std::string> lines = {"Disassembly of section .text:"};
    const std::size_t gaps = 20;
    for (std::uint32_t k = 0; k <= gaps; ++k) {
        char line[64];
        std::snprintf(line, sizeof line, "%08x:\t03e00008 \tjr\tra", 0x9d000000U + k * 0x40004U);
        lines.emplace_back(line);
        lines.emplace_back("\t...");
    }
    const ReadResult result = readSections(listingFile(lines));
    const std::size_t instructions = gaps + 1;
    const std::size_t fullGaps = kMaxFillerWordsPerRead / kMaxGapWords;
    ASSERT_EQ(fullGaps, 16U);
    EXPECT_EQ(result.listing.size(),
              instructions + fullGaps * kMaxGapWords + (gaps - fullGaps) * kFallbackGapWords);
    ASSERT_EQ(result.diagnostics.size(), 1U);
    EXPECT_EQ(result.diagnostics[0].kind, Diagnostic::Kind::Warning);
    EXPECT_EQ(result.diagnostics[0].text, fillerLimitWarning());

    const ReadResult small =
        readSections(listingFile({"Disassembly of section .text:", "9d000000 <f>:", "\t...",
                                  "9d000010:\t03e00008 \tjr\tra"}));
    EXPECT_EQ(small.listing.size(), 6U);
    EXPECT_TRUE(small.diagnostics.empty());
}

TEST(GapFilling, RepeatedMarkersCountOnceFromTheLastStoredLine) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "9d000010:\t24020001 \tli\tv0,1",
        "\t...",
        "\t...",
        "",
        "\t...",
        "9d00001c:\t03e00008 \tjr\tra",
    }));
    // The empty line between the markers fills the first gap and becomes the
    // record the last marker refers to: an empty line has no address.
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "9d000010:\t24020001 \tli\tv0,1",
                                           codeFiller("9D000014"),
                                           codeFiller("9D000018"),
                                           "",
                                           codeFiller("0"),
                                           codeFiller("4"),
                                           "9d00001c:\t03e00008 \tjr\tra",
                                       }));
}

TEST(GapFilling, NextAddressIsLookedForPastLinesWithoutOneUpToTheSectionEnd) {
    // After f's header the scan passes the empty line to reach g's header;
    // after g it stops at the next section's line, so that gap gets two words.
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "9d000030 <f>:",
        "\t...",
        "",
        "9d000040 <g>:",
        "9d000040:\t03e00008 \tjr\tra",
        "\t...",
        "",
        "Disassembly of section .rodata:",
        "a0000000 <x>:",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "9d000030 <f>:",
                                           codeFiller("9D000030"),
                                           codeFiller("9D000034"),
                                           codeFiller("9D000038"),
                                           codeFiller("9D00003C"),
                                           "",
                                           "9d000040 <g>:",
                                           "9d000040:\t03e00008 \tjr\tra",
                                           codeFiller("9D000044"),
                                           codeFiller("9D000048"),
                                           "",
                                           "a0000000 <x>:",
                                       }));
}

TEST(GapFilling, InstructionWithoutAWordFieldStartsTheGapAtItsOwnAddress) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "9d000010:",
        "\t...",
        "9d00001c:\t03e00008 \tjr\tra",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "9d000010:",
                                           codeFiller("9D000010"),
                                           codeFiller("9D000014"),
                                           codeFiller("9D000018"),
                                           "9d00001c:\t03e00008 \tjr\tra",
                                       }));
}

TEST(GapWordCount, CountsWordsUpToTheNextAddressWithinLimits) {
    struct Case {
        std::uint32_t start;
        std::optional<std::uint32_t> next;
        std::uint32_t words;
    };
    const Case cases[] = {
        {0x9d000014, 0x9d000030, 7},
        {0x9d000000, 0x9d000004, 1},
        {0x9d000000, std::nullopt, kFallbackGapWords},
        {0x9d000000, 0x9d000000, kFallbackGapWords},
        {0x9d000010, 0x9d000000, kFallbackGapWords},
        {0x9d000000, 0x9d000003, kFallbackGapWords},
        {0x9d000000, 0x9d040000, kMaxGapWords},
        {0x9d000000, 0x9d040004, kFallbackGapWords},
        // Across the sign of a signed 32-bit address.
        {0x7ffffff8, 0x80000000, 2},
        {0x7ffffff0, 0x80000000, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gapWordCount(c.start, c.next), c.words) << std::hex << c.start;
}

TEST(GapFilling, FillerLinesOfCodeAndData) {
    EXPECT_EQ(fillerLine(0x9d000014, false), "9D000014:\t00000000\tNOP <--Corrected by Travonix");
    EXPECT_EQ(fillerLine(0x4, true), "4:\t00000000\t<--Corrected by Travonix");
}

// A gap's lines are made one after the other in one buffer: each is whole,
// nothing of the longer line before it is left over.
TEST(GapFilling, FillerLinesMadeInAKeptBufferAreTheSameLines) {
    const std::uint32_t addresses[] = {0x0, 0xf, 0x10, 0x9d000014, 0xffffffff, 0x4};
    std::string line = "a line longer than any filler line, left from the one before";
    for (const bool readOnlyData : {false, true})
        for (const std::uint32_t address : addresses) {
            makeFillerLine(address, readOnlyData, line);
            EXPECT_EQ(line, fillerLine(address, readOnlyData)) << std::hex << address;
            EXPECT_EQ(line.substr(0, line.find(':')), hexUpper(address));
        }
}

} // namespace
} // namespace travonix::test
