#include "ListingText.h"

#include "app/AppOptions.h"
#include "listing/GapFilling.h"
#include "listing/ListingReader.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

ListingReadResult readSections(const std::string& text, bool showMain = false) {
    AppOptions options = defaultOptions();
    options.ShowMain = showMain;
    return readListing(text, listingReadOptions(options, false));
}

TEST(GapFilling, GapAfterAnInstructionIsFilledUpToTheNextInstruction) {
    auto result = readSections(listingFile({
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
}

TEST(GapFilling, GapAfterAHeaderStartsAtTheHeadersAddress) {
    auto result = readSections(listingFile({
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
    auto result = readSections(listingFile({
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
}

TEST(GapFilling, DataSectionGapsUseTheDataFiller) {
    auto result = readSections(listingFile({
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
    auto result = readSections(listingFile({
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
    auto result = readSections(listingFile({
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
    auto result = readSections(listingFile({
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

TEST(GapFilling, NextAddressNotAboveTheStartGetsTwoLines) {
    for (const char* next : {"9d000014:\t03e00008 \tjr\tra", "9d000000:\t03e00008 \tjr\tra",
                             "9d000016:\t03e00008 \tjr\tra"}) {
        auto result = readSections(listingFile({
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
    auto atCap = readSections(listingFile({
        "Disassembly of section .text:",
        "9d000000 <big>:",
        "\t...",
        "9d040000:\t03e00008 \tjr\tra",
    }));
    ASSERT_EQ(atCap.listing.size(), 2U + 65536U);
    EXPECT_EQ(atCap.listing[1].text, codeFiller("9D000000"));
    EXPECT_EQ(atCap.listing[65536].text, codeFiller("9D03FFFC"));

    auto beyond = readSections(listingFile({
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

TEST(GapFilling, FillerOfOneReadIsBoundedAndTheReadSaysSo) {
    // Gaps of 65,536 words each: sixteen fill 4 MiB, the next ones get two
    // lines, so a small listing cannot make a run hold or write gigabytes.
    std::vector<std::string> lines = {"Disassembly of section .text:"};
    const int gaps = 20;
    for (int k = 0; k <= gaps; ++k) {
        char line[64];
        std::snprintf(line, sizeof line, "%08x:\t03e00008 \tjr\tra", 0x9d000000u + k * 0x40004u);
        lines.emplace_back(line);
        lines.emplace_back("\t...");
    }
    const auto result = readSections(listingFile(lines));
    const std::size_t instructions = gaps + 1;
    EXPECT_EQ(result.listing.size(), instructions + 16 * 65536 + (gaps - 16) * 2);
    EXPECT_TRUE(result.fillerLimitReached);
    EXPECT_FALSE(readSections(listingFile({"Disassembly of section .text:", "9d000000 <f>:",
                                           "\t...", "9d000010:\t03e00008 \tjr\tra"}))
                     .fillerLimitReached);
}

TEST(GapFilling, RepeatedMarkersCountOnceFromTheLastStoredLine) {
    auto result = readSections(listingFile({
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

TEST(GapFilling, InstructionWithoutAWordFieldStartsTheGapAtItsOwnAddress) {
    auto result = readSections(listingFile({
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
    for (const Case& c : cases) {
        std::optional<std::int32_t> next;
        if (c.next)
            next = static_cast<std::int32_t>(*c.next);
        EXPECT_EQ(gapWordCount(static_cast<std::int32_t>(c.start), next), c.words)
            << std::hex << c.start;
    }
}

TEST(NextAddressFinder, SkipsLinesWithoutAnAddressAndStopsAtTheSectionEnd) {
    const std::vector<std::string_view> lines = {
        "\t...", "", "\t...", "9d000040 <g>:", "", "Disassembly of section .data:", "a0000000 <x>:",
    };
    NextAddressFinder finder(lines);
    EXPECT_EQ(finder.from(0), std::optional<std::int32_t>(static_cast<std::int32_t>(0x9d000040)));
    EXPECT_EQ(finder.from(2), std::optional<std::int32_t>(static_cast<std::int32_t>(0x9d000040)));
    EXPECT_EQ(finder.from(4), std::nullopt);
    EXPECT_EQ(finder.from(1), std::optional<std::int32_t>(static_cast<std::int32_t>(0x9d000040)));
    EXPECT_EQ(finder.from(6), std::optional<std::int32_t>(static_cast<std::int32_t>(0xa0000000)));
    EXPECT_EQ(finder.from(7), std::nullopt);
}

} // namespace
} // namespace travonix::test
