// A mapped listing's text goes behind the slowest reader of a run, never
// ahead of one, and only the file's own lines are named.

#include "core/TextBehind.h"
#include "core/JumpRewriter.h"
#include "core/ListingReader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace travonix {
namespace {

// Stands for a mapped file: keeps what it is told it may let go.
class RecordingHolder : public ListingText::Holder {
  public:
    void doneWith(std::size_t offset, std::size_t length) const override {
        told.emplace_back(offset, length);
    }
    mutable std::vector<std::pair<std::size_t, std::size_t>> told;
};

// `functions` routines of four instruction lines each, CR LF.
std::string listingOf(std::size_t functions) {
    std::string text = "\r\nDisassembly of section .text:\r\n\r\n";
    char line[64];
    for (std::size_t f = 0; f < functions; ++f) {
        const unsigned base = 0x9d000000U + static_cast<unsigned>(f) * 16U;
        std::snprintf(line, sizeof line, "%08x <f%zu>:\r\n", base, f);
        text += line;
        for (unsigned k = 0; k < 4; ++k) {
            std::snprintf(line, sizeof line, "%08x:\t24420001 \taddiu\tv0,v0,1\r\n", base + 4 * k);
            text += line;
        }
        text += "\r\n";
    }
    return text;
}

struct HeldListing {
    explicit HeldListing(std::string bytes)
        : text(std::move(bytes)), holder(std::make_shared<RecordingHolder>()),
          read(readListing(ListingText(text, holder), ReadOptions{false, true, false})) {}
    // Where the file's text of lines [first, end) lies.
    [[nodiscard]] std::pair<std::size_t, std::size_t> bytesOf(std::size_t first,
                                                              std::size_t end) const {
        const ListingLine& last = read.listing.line(end - 1);
        const std::size_t from = read.listing.line(first).textStart;
        return {from, std::size_t{last.textStart} + last.textLength - from};
    }
    std::string text;
    std::shared_ptr<RecordingHolder> holder;
    ReadResult read;
};

TEST(TextBehind, LetsTheTextGoOnlyBehindTheSlowestReader) {
    HeldListing held(listingOf(4000)); // 24,000 lines
    const Listing& listing = held.read.listing;
    ASSERT_GT(listing.size(), 20000U);
    TextBehind behind(listing, 2);
    behind.passed(0, 15000);
    EXPECT_TRUE(held.holder->told.empty()) << "the other reader has not moved";
    behind.passed(1, 3000);
    EXPECT_TRUE(held.holder->told.empty()) << "too little to be worth a call";
    behind.passed(1, 12000);
    ASSERT_EQ(held.holder->told.size(), 1U);
    EXPECT_EQ(held.holder->told[0], held.bytesOf(0, 12000));
    EXPECT_EQ(behind.letGo(), 12000U);
    behind.passed(1, 11000); // a reader never goes back
    EXPECT_EQ(behind.letGo(), 12000U);
    behind.passed(1, listing.size());
    EXPECT_EQ(held.holder->told.size(), 1U) << "the slowest is 3,000 lines on: too little";
    behind.passed(0, listing.size());
    ASSERT_EQ(held.holder->told.size(), 2U) << "the end is told however little is left";
    EXPECT_EQ(held.holder->told[1], held.bytesOf(12000, listing.size()));
}

// Lines the tool made or changed are not in the file's text: a range starts
// and ends at the file's own lines within it.
TEST(TextBehind, NamesOnlyTheFilesOwnLines) {
    HeldListing held("\r\nDisassembly of section .text:\r\n\r\n"
                     "9d000000 <f>:\r\n"
                     "9d000000:\t0f400004 \tjal\t9d000010 <g>\r\n"
                     "9d000004:\t00000000 \tnop\r\n"
                     "9d000008:\t0f400004 \tjal\t9d000010 <g>\r\n"
                     "\r\n");
    Listing& listing = held.read.listing;
    ASSERT_EQ(listing.size(), 6U); // an empty line, the header, three code lines, an empty line
    ASSERT_EQ(rewriteJumps(listing).rewritten, 2U); // lines 2 and 4 now in the edits
    const struct {
        std::size_t first, end;
        bool told;
        std::size_t fromLine, endLine;
    } cases[] = {
        {0, 6, true, 0, 6},  {2, 5, true, 3, 4},  {1, 3, true, 1, 2},  {2, 3, false, 0, 0},
        {4, 5, false, 0, 0}, {3, 3, false, 0, 0}, {3, 99, true, 3, 6}, {5, 6, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.end));
        held.holder->told.clear();
        listing.doneWithLines(c.first, c.end);
        ASSERT_EQ(held.holder->told.size(), c.told ? 1U : 0U);
        if (c.told) {
            EXPECT_EQ(held.holder->told[0], held.bytesOf(c.fromLine, c.endLine));
        }
    }
}

} // namespace
} // namespace travonix
