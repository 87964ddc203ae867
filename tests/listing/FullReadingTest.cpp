#include "ListingText.h"

#include "app/AppOptions.h"
#include "listing/JumpRewriter.h"
#include "listing/ListingReader.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

const std::string kListing = listingFile({
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
    AppOptions options = defaultOptions();
    options.SelectAllFuncs = true;
    auto result = readListing(kListing, listingReadOptions(options, true));

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
        EXPECT_EQ(entry.dataMark, 0) << entry.name;
        EXPECT_TRUE(entry.selected) << entry.name;
    }
}

TEST(FullReading, DataWordsShownAsJumpsAreRewrittenLikeCode) {
    AppOptions options = defaultOptions();
    auto result = readListing(kListing, listingReadOptions(options, true));
    EXPECT_FALSE(result.functions.front().selected);
    EXPECT_EQ(rewriteJumps(result.listing), 0);
    EXPECT_EQ(result.listing.back().text, "9d000100:\t1000FFFF\tb\t9d000100 <table>");
    // The call carries blanks after its operands: still four fields, kept as they are.
    EXPECT_EQ(result.listing[6].text, "9d000000:\t04110003\tbal\t9d000010 <_nmi_handler>  ");
}

} // namespace
} // namespace travonix::test
