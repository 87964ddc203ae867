// libFuzzer target over the whole conversion: read, rewrite, plan, check,
// build and write (into memory), in every output mode and both readings, with
// and without re-laying the merged block. The
// first byte chooses the options; the rest is the listing.
#include "check/ConversionCheck.h"
#include "core/Conversion.h"
#include "core/JumpRewriter.h"
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const ConversionSettings settings = settingsFrom(data[0]);
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    ReadResult read =
        readListing(text, {settings.includeMain, settings.selectAll, settings.fullReading});
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
