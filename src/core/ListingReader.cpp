#include "core/ListingReader.h"
#include "core/Messages.h"

#include "core/SectionReading.h"
#include "core/Text.h"

#include <limits>

namespace travonix {

namespace {

std::vector<LineSpan> lineSpans(std::string_view text) {
    std::vector<LineSpan> spans;
    spans.reserve(text.size() / 32);
    forEachLine(text, [&spans](std::size_t start, std::size_t length) {
        spans.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
    });
    return spans;
}

} // namespace

ReadResult readListing(ListingText fileText, const ReadOptions& options) {
    ReadResult result;
    // Lines are kept as 32-bit offsets into the text; no PIC32 listing comes
    // near 4 GiB, and a file that does is refused rather than misread.
    if (fileText.size() >= std::numeric_limits<std::uint32_t>::max() / 2) {
        result.diagnostics.push_back(error(DiagnosticCode::ListingTooLarge, listingTooLargeText()));
        return result;
    }
    const std::vector<LineSpan> spans = lineSpans(fileText.view());
    result.listing = Listing(std::move(fileText));
    if (options.fullReading)
        readWholeFile(spans, options, result);
    else
        readSections(spans, options, result);
    result.listing.shrinkToFit();
    if (result.functions.capacity() - result.functions.size() > result.functions.size() / 8)
        result.functions.shrink_to_fit();
    return result;
}

} // namespace travonix
