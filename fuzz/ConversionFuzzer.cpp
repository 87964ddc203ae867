// libFuzzer target over the whole conversion: read, rewrite, plan, check,
// build and write (into memory), in every output mode and both readings, with
// and without re-laying the merged block; and the read as a pipe hands the
// text over, in pieces, which must give what the whole read gives. The
// first byte chooses the options and the pieces' size; the rest is the listing.
#include "check/ConversionCheck.h"
#include "core/Conversion.h"
#include "core/JumpRewriter.h"
#include "core/ListingFeed.h"
#include "core/ListingReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace travonix;

class MemoryWriter : public FileWriter {
  public:
    using FileWriter::writeWhole;
    Outcome writeWhole(const std::string&, std::string_view bytes) override {
        written += bytes.size();
        return std::nullopt;
    }
    std::size_t written = 0;
};

ConversionSettings settingsFrom(std::uint8_t choice) {
    ConversionSettings settings;
    constexpr OutputMode kModes[] = {OutputMode::IndividualFiles, OutputMode::SingleFile,
                                     OutputMode::Merged};
    settings.mode = kModes[(choice & 3) % 3];
    settings.fullReading = (choice & 4) != 0;
    settings.includeMain = (choice & 8) != 0;
    settings.keepListingCopy = (choice & 16) != 0;
    settings.positionIndependent = (choice & 32) != 0;
    settings.selectAll = true;
    settings.mergedName = "Blk";
    settings.outputFolder = "out";
    return settings;
}

// The same lines, kinds and functions, read in pieces of `piece` bytes.
bool readsAlikeInPieces(const std::string& text, const ReadOptions& options,
                        const ReadResult& whole, std::size_t piece) {
    ListingFeed feed(options);
    for (std::size_t at = 0; at < text.size(); at += piece)
        feed.append(std::string_view(text).substr(at, piece));
    const ReadResult pieces = feed.finish();
    if (pieces.listing.size() != whole.listing.size() ||
        pieces.functions.size() != whole.functions.size() ||
        pieces.diagnostics.size() != whole.diagnostics.size())
        return false;
    for (std::size_t i = 0; i < whole.listing.size(); ++i)
        if (pieces.listing.text(i) != whole.listing.text(i) ||
            pieces.listing.line(i).kind != whole.listing.line(i).kind)
            return false;
    for (std::size_t i = 0; i < whole.functions.size(); ++i)
        if (pieces.functions[i].name != whole.functions[i].name ||
            pieces.functions[i].headerLine != whole.functions[i].headerLine)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const ConversionSettings settings = settingsFrom(data[0]);
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const ReadOptions readOptions = readOptionsOf(settings);
    ReadResult read = readListing(text, readOptions);
    if (!readsAlikeInPieces(text, readOptions, read,
                            1 + static_cast<std::size_t>(data[0] >> 6) * 7))
        std::abort();
    (void)rewriteJumps(read.listing);
    const ConversionPlan plan = planConversion(read.listing, read.functions, settings);
    if (plan.status != ConversionPlan::Status::Ready)
        return 0;
    (void)check::checkConversion(read.listing, plan, settings);
    bool answer = false;
    GeneratedBlocks blocks =
        buildBlocks(read.listing, plan, settings, {{2026, 12, 10, 9, 5, 7}, "fuzz"},
                    [&answer](const JalrLine&) { return answer = !answer; });
    // Re-laying makes at most nineteen words of one (a jump through a
    // register, its ten words, and the eight of a lui moved out of its delay
    // slot), and only of a merged block.
    if (blocks.relay) {
        if (!settings.positionIndependent || settings.mode != OutputMode::Merged)
            std::abort();
        if (blocks.relay->relaid ? blocks.relay->wordsAfter > 19 * blocks.relay->wordsBefore
                                 : blocks.relay->wordsAfter != blocks.relay->wordsBefore)
            std::abort();
    }
    MemoryWriter writer;
    (void)writeFiles(basFiles(blocks, plan, settings, "/"), "out", "/", writer);
    if (settings.keepListingCopy)
        (void)writeFiles({listingCopyFile(blocks, settings, "/")}, "out", "/", writer);
    // Output stays bounded by the input: a few hundred bytes a line at most,
    // plus what the bounded gap filling adds.
    const std::size_t bound = 400 * size + (std::size_t{64} << 20);
    if (writer.written > bound)
        std::abort();
    return 0;
}
