#include "core/ListingFeed.h"
#include "support/Fixtures.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace travonix::test {
namespace {

// Everything a read gives a later step, as one text that a failure shows.
std::string summaryOf(const ReadResult& read) {
    std::ostringstream out;
    for (std::size_t i = 0; i < read.listing.size(); ++i) {
        const ListingLine& line = read.listing.line(i);
        out << static_cast<int>(line.kind) << ' ' << int{line.tabCount} << ' '
            << read.listing.text(i) << '|' << read.listing.field(line, 2) << '\n';
    }
    for (const FunctionEntry& f : read.functions)
        out << "function " << f.name << ' ' << f.readOnlyData << f.selected << ' ' << f.headerLine
            << '\n';
    for (std::size_t index : read.listing.malformedLines())
        out << "malformed " << index << '\n';
    for (const Diagnostic& d : read.diagnostics)
        out << "diagnostic " << static_cast<int>(d.code) << ' ' << d.text << '\n';
    return out.str();
}

ReadResult readInPieces(const std::string& text, std::size_t piece, const ReadOptions& options) {
    ListingFeed feed(options, piece == 1 ? 0 : text.size());
    for (std::size_t at = 0; at < text.size(); at += piece)
        feed.append(std::string_view(text).substr(at, piece));
    EXPECT_EQ(feed.bytesReceived(), text.size());
    return feed.finish();
}

struct Reading {
    const char* name;
    ReadOptions options;
};
const Reading kReadings[] = {
    {"sections", {false, false, false}},
    {"sections with main, all selected", {true, true, false}},
    {"every line", {false, false, true}},
};

// The pieces a pipe hands over are any size: one byte splits every CR LF
// and every gap from the line that ends it.
TEST(ListingFeed, ReadsRealListingsInAnyPiecesAsAWholeRead) {
    const char* const fixtures[] = {"gaps.dis",    "gaps-noz.dis",    "calls.dis",
                                    "hostile.dis", "sysfunc-noz.dis", "jalr.dis",
                                    "farcall.dis", "longnames.dis",   "reloc/clean.dis"};
    for (const char* fixture : fixtures) {
        const std::string text = readWholeFile(fixturePath(fixture));
        for (const Reading& reading : kReadings) {
            const std::string whole = summaryOf(readListing(text, reading.options));
            for (std::size_t piece : {1, 2, 3, 7, 64, 4093, 65536}) {
                SCOPED_TRACE(std::string(fixture) + ", " + reading.name + ", pieces of " +
                             std::to_string(piece));
                EXPECT_EQ(summaryOf(readInPieces(text, piece, reading.options)), whole);
            }
        }
    }
}

// Gaps whose end is far ahead (empty lines between), gaps at the text's end
// with and without a line end, lone CRs and LFs mixed.
TEST(ListingFeed, GapsAndLineEndsAtEveryCut) {
    const std::string texts[] = {
        listingFile({"Disassembly of section .text:", "",
                     "9d000000 <f>:", "9d000000:\t03e00008 \tjr\tra", "\t...", "", "", "",
                     "9d000010 <g>:", "9d000010:\t03e00008 \tjr\tra", "\t..."}),
        "Disassembly of section .text:\r\r9d000000 <f>:\n9d000000:\t03e00008 \tjr\tra\r\n\t...\r"
        "9d000008:\t00000000 \tnop\r",
        "Disassembly of section .rodata:\n\n9d000000 <t>:\n9d000000:\t0c000001 \tjal\t4\n\t...\n"
        "Disassembly of section .text:\n\n9d000010 <f>:\n9d000010:\t03e00008 \tjr\tra",
    };
    for (const std::string& text : texts) {
        const std::string whole = summaryOf(readListing(text, ReadOptions{}));
        ASSERT_NE(whole.find(std::to_string(static_cast<int>(LineKind::Filler))),
                  std::string::npos);
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            SCOPED_TRACE("cut at " + std::to_string(cut));
            ListingFeed feed(ReadOptions{});
            feed.append(std::string_view(text).substr(0, cut));
            feed.append(std::string_view(text).substr(cut));
            EXPECT_EQ(summaryOf(feed.finish()), whole);
        }
    }
}

TEST(ListingFeed, CountsTheFunctionsReadSoFar) {
    const std::string text = readWholeFile(fixturePath("calls.dis"));
    const std::size_t all = readListing(text, ReadOptions{}).functions.size();
    ASSERT_GT(all, 2U);
    ListingFeed feed(ReadOptions{});
    const std::size_t half = text.find("<", text.size() / 2);
    feed.append(std::string_view(text).substr(0, half));
    const std::size_t early = feed.functionsRead();
    EXPECT_GT(early, 0U);
    EXPECT_LT(early, all);
    feed.append(std::string_view(text).substr(half));
    EXPECT_EQ(feed.finish().functions.size(), all);
}

} // namespace
} // namespace travonix::test
