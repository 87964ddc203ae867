#include "ListingText.h"

#include "app/AppOptions.h"
#include "listing/JumpRewriter.h"
#include "listing/ListingReader.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

class SectionReading : public ::testing::Test {
  protected:
    AppOptions options = defaultOptions();

    ListingReadResult read(const std::string& text) {
        return readListing(text, listingReadOptions(options, false));
    }
};

// File-format line, .text with add and main, a .data section, then .rodata
// with its own label.
const std::string kWorkedExample = listingFile({
    "",
    "example.elf:     file format elf32-tradlittlemips",
    "",
    "",
    "Disassembly of section .text:",
    "",
    "9d000000 <add>:",
    "9d000000:\t03e00008 \tjr\tra",
    "9d000004:\t00851021 \taddu\tv0,a0,a1",
    "",
    "9d000008 <main>:",
    "9d000008:\t03e00008 \tjr\tra",
    "",
    "Disassembly of section .data:",
    "",
    "a0000000 <counter>:",
    "a0000000:\t00000007 \t.word\t0x7",
    "",
    "Disassembly of section .rodata:",
    "",
    "9d000010 <.rodata>:",
    "9d000010:\t00000001 \tmovf\tzero,zero,$fcc0",
});

TEST_F(SectionReading, WorkedExampleKeepsCodeAndDataAndLeavesOutMain) {
    options.SelectAllFuncs = true;
    auto result = read(kWorkedExample);

    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000000 <add>:",
                                           "9d000000:\t03e00008 \tjr\tra",
                                           "9d000004:\t00851021 \taddu\tv0,a0,a1",
                                           "",
                                           "",
                                           "",
                                           "9d000010 <.rodata>:",
                                           "9d000010:\t00000001 ",
                                       }));
    ASSERT_EQ(result.functions.size(), 2U);
    EXPECT_EQ(result.functions[0].name, "add");
    EXPECT_EQ(result.functions[0].dataMark, 0);
    EXPECT_TRUE(result.functions[0].selected);
    EXPECT_EQ(result.functions[1].name, ".rodata");
    EXPECT_EQ(result.functions[1].dataMark, 1);
    EXPECT_TRUE(result.functions[1].selected);
    for (const ListingItem& item : result.listing)
        EXPECT_FALSE(item.selected);
}

TEST_F(SectionReading, NewFunctionsTakeSelectAllFuncs) {
    options.SelectAllFuncs = false;
    auto result = read(kWorkedExample);
    ASSERT_EQ(result.functions.size(), 2U);
    EXPECT_FALSE(result.functions[0].selected);
    EXPECT_FALSE(result.functions[1].selected);
}

TEST_F(SectionReading, LinesAreTrimmedOfBlanksButNotTabs) {
    auto result = read(listingFile({
        "Disassembly of section .text:  ",
        "  ",
        "   9d000000 <f>:  ",
        "9d000000:\t03e00008 \tjr\tra   ",
        "\t9d000004:\t00000000 \tnop",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000000 <f>:",
                                           "9d000000:\t03e00008 \tjr\tra",
                                           "\t9d000004:\t00000000 \tnop",
                                       }));
}

TEST_F(SectionReading, IncludedMainIsListedLikeAnyFunction) {
    options.ShowMain = true;
    auto result = read(kWorkedExample);
    EXPECT_EQ(namesOf(result.functions), (Texts{"add", "main", ".rodata"}));
    EXPECT_EQ(textsOf(result.listing)[5], "9d000008 <main>:");
}

TEST_F(SectionReading, MainInAnyLetterCaseIsLeftOutUpToTheNextEmptyLine) {
    auto result = read(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <Main>:",
        "9d000000:\t03e00008 \tjr\tra",
        "9d000004:\t00000000 \tnop",
        "",
        "9d000008 <domain>:",
        "9d000008:\t03e00008 \tjr\tra",
    }));
    EXPECT_EQ(namesOf(result.functions), (Texts{"domain"}));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "",
                                           "9d000008 <domain>:",
                                           "9d000008:\t03e00008 \tjr\tra",
                                       }));
}

TEST_F(SectionReading, SystemFunctionLineEndsTheSectionEvenInsideAUserFunction) {
    auto result = read(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <start>:",
        "9d000000:\t0f400010 \tjal\t9d000040 <_NMI_Handler>",
        "9d000004:\t00000000 \tnop",
        "",
        "9d000010 <later>:",
        "9d000010:\t03e00008 \tjr\tra",
        "Disassembly of section .rodata:",
        "9d000100 <dropped>:",
        "9d000100:\t00000001 \t.word\t0x1",
        "",
        "9d000104 <kept>:",
        "9d000104:\t00000002 \t.word\t0x2",
    }));
    // The skipping the system function set outlives the section header: the
    // data section is dropped up to its first empty line.
    EXPECT_EQ(namesOf(result.functions), (Texts{"start", "kept"}));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000000 <start>:",
                                           "",
                                           "9d000104 <kept>:",
                                           "9d000104:\t00000002 ",
                                       }));
}

TEST_F(SectionReading, SystemFunctionHeaderEndsTheSectionEvenWhenMainIsSkipped) {
    auto result = read(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <main>:",
        "9d000000:\t03e00008 \tjr\tra",
        "9d000008 <__pic32_software_reset>:",
        "",
        "9d000010 <after>:",
    }));
    EXPECT_TRUE(result.functions.empty());
    EXPECT_EQ(textsOf(result.listing), (Texts{""}));
}

TEST_F(SectionReading, FileWithoutAWantedSectionGivesNothing) {
    auto result = read(listingFile({
        "x.elf:     file format elf32-tradlittlemips",
        "Disassembly of section .data:",
        "",
        "a0000000 <counter>:",
        "a0000000:\t00000007 \t.word\t0x7",
    }));
    EXPECT_TRUE(result.listing.empty());
    EXPECT_TRUE(result.functions.empty());
}

TEST_F(SectionReading, RodataStraightAfterTextIsRead) {
    auto result = read(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <f>:",
        "9d000000:\t03e00008 \tjr\tra",
        "Disassembly of section .rodata:",
        "",
        "9d000100 <table>:",
        "9d000100:\t00000001 \tmovf\tzero,zero,$fcc0",
        "Disassembly of section .text:",
        "9d000200 <g>:",
    }));
    EXPECT_EQ(namesOf(result.functions), (Texts{"f", "table", "g"}));
    EXPECT_EQ(result.functions[1].dataMark, 1);
    EXPECT_EQ(result.functions[2].dataMark, 0);
}

// A data word that decodes as a jump must never reach the jump rewriting as
// one: the cut removes the mnemonic, and where a short address leaves it
// inside the 19 characters, the overwrite spoils it.
TEST_F(SectionReading, DataLinesAreCutAndHeadersKeptWhole) {
    auto result = read(listingFile({
        "Disassembly of section .rodata:",
        "",
        "9d000100 <a_rather_long_table_name>:",
        "9d000100:\t0f400000 \tjal\t9d000000 <f>",
        "100:\t0f400000 \tjal\t0 <f>",
        "104:\t08000000 \tj\t0 <f>",
        "9d000108 <jal_table>:",
        "10c:\t00000000",
    }));
    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "9d000100 <a_rather_long_table_name>:",
                                           "9d000100:\t0f400000 ",
                                           "100:\t0f400000 \tJAL.",
                                           "104:\t08000000 \tJ.\t ",
                                           "9d000108 <jal_table>:",
                                           "10c:\t00000000",
                                       }));
    EXPECT_EQ(namesOf(result.functions), (Texts{"a_rather_long_table_name", "jal_table"}));

    auto listing = result.listing;
    EXPECT_EQ(rewriteJumps(listing), 0);
    EXPECT_EQ(textsOf(listing), textsOf(result.listing));
}

TEST_F(SectionReading, DuplicateNamesAreBothListed) {
    auto result = read(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <twice>:",
        "9d000000:\t03e00008 \tjr\tra",
        "",
        "9d000008 <twice>:",
        "9d000008:\t03e00008 \tjr\tra",
    }));
    EXPECT_EQ(namesOf(result.functions), (Texts{"twice", "twice"}));
}

TEST_F(SectionReading, HeaderWithoutNameMarkIsStoredButNotListed) {
    auto result = read(listingFile({
        "Disassembly of section .text:",
        "9d000000>:",
        "9d000000:\t03e00008",
    }));
    EXPECT_TRUE(result.functions.empty());
    EXPECT_EQ(textsOf(result.listing), (Texts{"9d000000>:", "9d000000:\t03e00008"}));
}

// objdump on Windows writes CR LF, on Linux LF; a lone CR must read alike.
TEST_F(SectionReading, LineEndsDoNotChangeTheResult) {
    const std::initializer_list<std::string_view> lines = {
        "Disassembly of section .text:",
        "",
        "9d000000 <f>:",
        "9d000000:\t0f400008 \tjal\t9d000020 <g>",
        "9d000004:\t00000000 \tnop",
        "\t...",
        "",
        "9d000020 <g>:",
        "9d000020:\t03e00008 \tjr\tra",
        "Disassembly of section .rodata:",
        "",
        "9d000100 <t>:",
        "9d000100:\t00000001 \tmovf\tzero,zero,$fcc0",
    };
    auto crlf = read(listingFile(lines, "\r\n"));
    auto lf = read(listingFile(lines, "\n"));
    auto cr = read(listingFile(lines, "\r"));
    EXPECT_EQ(crlf.listing.size(), 16U);
    EXPECT_EQ(textsOf(lf.listing), textsOf(crlf.listing));
    EXPECT_EQ(textsOf(cr.listing), textsOf(crlf.listing));
    EXPECT_EQ(namesOf(lf.functions), namesOf(crlf.functions));
    EXPECT_EQ(namesOf(cr.functions), namesOf(crlf.functions));
}

} // namespace
} // namespace travonix::test
