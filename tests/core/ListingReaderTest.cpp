#include "core/ListingReader.h"
#include "core/JumpRewriter.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

ReadResult readSections(const std::string& text, bool includeMain = false, bool selectAll = false) {
    return readListing(text, ReadOptions{includeMain, selectAll, false});
}

std::vector<LineKind> kindsOf(const Listing& listing) {
    std::vector<LineKind> kinds;
    for (const ListingLine& line : listing.lines())
        kinds.push_back(line.kind);
    return kinds;
}

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

TEST(SectionReading, WorkedExampleKeepsCodeAndDataAndLeavesOutMain) {
    const ReadResult result = readSections(kWorkedExample, false, true);

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
    EXPECT_EQ(kindsOf(result.listing),
              (std::vector<LineKind>{LineKind::Empty, LineKind::Header, LineKind::Instruction,
                                     LineKind::Instruction, LineKind::Empty, LineKind::Empty,
                                     LineKind::Empty, LineKind::Header, LineKind::Data}));
    ASSERT_EQ(result.functions.size(), 2U);
    EXPECT_EQ(result.functions[0].name, "add");
    EXPECT_FALSE(result.functions[0].readOnlyData);
    EXPECT_TRUE(result.functions[0].selected);
    EXPECT_EQ(result.functions[0].headerLine, 1U);
    EXPECT_EQ(result.functions[1].name, ".rodata");
    EXPECT_TRUE(result.functions[1].readOnlyData);
    EXPECT_TRUE(result.functions[1].selected);
    EXPECT_EQ(result.functions[1].headerLine, 7U);
    for (const ListingLine& line : result.listing.lines())
        EXPECT_FALSE(line.rewritten);
    EXPECT_TRUE(result.diagnostics.empty());
}

TEST(SectionReading, NewFunctionsTakeTheSelectAllOption) {
    const ReadResult result = readSections(kWorkedExample, false, false);
    ASSERT_EQ(result.functions.size(), 2U);
    EXPECT_FALSE(result.functions[0].selected);
    EXPECT_FALSE(result.functions[1].selected);
}

TEST(SectionReading, LinesAreTrimmedOfBlanksButNotTabs) {
    const ReadResult result = readSections(listingFile({
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
    ASSERT_EQ(result.functions.size(), 1U);
    EXPECT_EQ(result.functions[0].headerLine, 1U);
    EXPECT_EQ(result.listing.address(2), 0x9d000000U);
}

TEST(SectionReading, IncludedMainIsListedLikeAnyFunction) {
    const ReadResult result = readSections(kWorkedExample, true);
    EXPECT_EQ(namesOf(result.functions), (Texts{"add", "main", ".rodata"}));
    EXPECT_EQ(textsOf(result.listing)[5], "9d000008 <main>:");
    EXPECT_EQ(result.functions[1].headerLine, 5U);
}

TEST(SectionReading, MainInAnyLetterCaseIsLeftOutUpToTheNextEmptyLine) {
    const ReadResult result = readSections(listingFile({
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

TEST(SectionReading, SystemFunctionLineEndsTheSectionEvenInsideAUserFunction) {
    const ReadResult result = readSections(listingFile({
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

TEST(SectionReading, SystemFunctionHeaderEndsTheSectionEvenWhenMainIsSkipped) {
    const ReadResult result = readSections(listingFile({
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

TEST(SectionReading, FileWithoutAWantedSectionGivesNothing) {
    const ReadResult result = readSections(listingFile({
        "x.elf:     file format elf32-tradlittlemips",
        "Disassembly of section .data:",
        "",
        "a0000000 <counter>:",
        "a0000000:\t00000007 \t.word\t0x7",
    }));
    EXPECT_TRUE(result.listing.empty());
    EXPECT_TRUE(result.functions.empty());
}

TEST(SectionReading, RodataStraightAfterTextIsRead) {
    const ReadResult result = readSections(listingFile({
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
    EXPECT_FALSE(result.functions[0].readOnlyData);
    EXPECT_TRUE(result.functions[1].readOnlyData);
    EXPECT_FALSE(result.functions[2].readOnlyData);
}

// A data word that decodes as a jump must never reach the jump rewriting as
// one: the cut removes the mnemonic, and where a short address leaves it
// inside the 19 characters, the overwrite spoils it.
TEST(SectionReading, DataLinesAreCutAndHeadersKeptWhole) {
    const ReadResult result = readSections(listingFile({
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

    Listing listing = result.listing;
    const JumpReport report = rewriteJumps(listing);
    EXPECT_EQ(report.rewritten, 0U);
    EXPECT_TRUE(report.unconverted.empty());
    EXPECT_EQ(textsOf(listing), textsOf(result.listing));
}

TEST(SectionReading, DuplicateNamesAreBothListedWithTheirOwnHeaders) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <twice>:",
        "9d000000:\t03e00008 \tjr\tra",
        "",
        "9d000008 <twice>:",
        "9d000008:\t03e00008 \tjr\tra",
    }));
    EXPECT_EQ(namesOf(result.functions), (Texts{"twice", "twice"}));
    EXPECT_EQ(result.functions[0].headerLine, 1U);
    EXPECT_EQ(result.functions[1].headerLine, 4U);
}

TEST(SectionReading, HeaderWithoutNameMarkIsStoredButNotListed) {
    const ReadResult result = readSections(listingFile({
        "Disassembly of section .text:",
        "9d000000>:",
        "9d000000:\t03e00008",
    }));
    EXPECT_TRUE(result.functions.empty());
    EXPECT_EQ(textsOf(result.listing), (Texts{"9d000000>:", "9d000000:\t03e00008"}));
}

// objdump on Windows writes CR LF, on Linux LF; a lone CR must read alike.
TEST(SectionReading, LineEndsDoNotChangeTheResult) {
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
    const ReadResult crlf = readSections(listingFile(lines, "\r\n"));
    const ReadResult lf = readSections(listingFile(lines, "\n"));
    const ReadResult cr = readSections(listingFile(lines, "\r"));
    EXPECT_EQ(crlf.listing.size(), 16U);
    EXPECT_EQ(textsOf(lf.listing), textsOf(crlf.listing));
    EXPECT_EQ(textsOf(cr.listing), textsOf(crlf.listing));
    EXPECT_EQ(namesOf(lf.functions), namesOf(crlf.functions));
    EXPECT_EQ(namesOf(cr.functions), namesOf(crlf.functions));
}

const std::string kFullListing = listingFile({
    "",
    "t.elf:     file format elf32-tradlittlemips",
    "",
    "Disassembly of section .text:",
    "",
    "9d000000 <main>:",
    "9d000000:\t0f400004 \tjal\t9d000010 <_nmi_handler>  ",
    "\t...",
    "   0:\t00000000 \tnop",
    "",
    "9d000010 <_nmi_handler>:",
    "Disassembly of section .rodata:",
    "",
    "9d000100 <table>:",
    "9d000100:\t08400040 \tj\t9d000100 <table>",
});

TEST(FullReading, KeepsEveryLongLineUntrimmedAndListsEveryFunction) {
    const ReadResult result = readListing(kFullListing, ReadOptions{false, true, true});

    EXPECT_EQ(textsOf(result.listing), (Texts{
                                           "",
                                           "t.elf:     file format elf32-tradlittlemips",
                                           "",
                                           "Disassembly of section .text:",
                                           "",
                                           "9d000000 <main>:",
                                           "9d000000:\t0f400004 \tjal\t9d000010 <_nmi_handler>  ",
                                           "",
                                           "9d000010 <_nmi_handler>:",
                                           "Disassembly of section .rodata:",
                                           "",
                                           "9d000100 <table>:",
                                           "9d000100:\t08400040 \tj\t9d000100 <table>",
                                       }));
    EXPECT_EQ(namesOf(result.functions), (Texts{"main", "_nmi_handler", "table"}));
    for (const FunctionEntry& entry : result.functions) {
        EXPECT_FALSE(entry.readOnlyData) << entry.name;
        EXPECT_TRUE(entry.selected) << entry.name;
    }
    EXPECT_EQ(result.functions[0].headerLine, 5U);
    EXPECT_EQ(result.functions[2].headerLine, 11U);
    EXPECT_EQ(result.listing.line(6).kind, LineKind::Instruction);
    EXPECT_EQ(result.listing.line(12).kind, LineKind::Data);
}

TEST(FullReading, CodeJumpsAreRewrittenButDataWordsShownAsJumpsStayData) {
    ReadResult result = readListing(kFullListing, ReadOptions{false, false, true});
    EXPECT_FALSE(result.functions.front().selected);

    const JumpReport report = rewriteJumps(result.listing);
    EXPECT_EQ(report.rewritten, 1U);
    EXPECT_TRUE(report.unconverted.empty());
    EXPECT_TRUE(report.diagnostics.empty());
    // The call carries blanks after its operands: still four fields, kept as they are.
    EXPECT_EQ(result.listing.text(6), "9d000000:\t04110003\tbal\t9d000010 <_nmi_handler>  ");
    EXPECT_TRUE(result.listing.line(6).rewritten);
    // The word of .rodata that objdump shows as a jump is data, not code.
    EXPECT_EQ(result.listing.text(12), "9d000100:\t08400040 \tj\t9d000100 <table>");
    EXPECT_FALSE(result.listing.line(12).rewritten);
}

TEST(FullReading, EveryDataSectionKindIsData) {
    for (const char* section :
         {".rodata", ".data", ".sdata", ".bss", ".sbss", ".got", ".lit4", ".lit8", ".RODATA"}) {
        SCOPED_TRACE(section);
        ReadResult result = readListing(
            listingFile({"Disassembly of section " + std::string(section) + ":", "",
                         "9d000100 <table>:", "9d000100:\t08400040 \tj\t9d000100 <table>",
                         "Disassembly of section .text2:", "9d000200 <f>:",
                         "9d000200:\t0b400080 \tj\t9d000200 <f>"}),
            ReadOptions{false, false, true});
        ASSERT_EQ(result.listing.size(), 7U);
        EXPECT_EQ(result.listing.line(3).kind, LineKind::Data);
        // A later code section ends the data.
        EXPECT_EQ(result.listing.line(6).kind, LineKind::Instruction);
        const JumpReport report = rewriteJumps(result.listing);
        EXPECT_EQ(report.rewritten, 1U);
        EXPECT_EQ(result.listing.text(3), "9d000100:\t08400040 \tj\t9d000100 <table>");
    }
}

} // namespace
} // namespace travonix::test
