#include "core/ListingReader.h"

#include "core/ListingFeed.h"

namespace travonix {

ReadResult readListing(ListingText fileText, const ReadOptions& options) {
    ListingFeed feed(std::move(fileText), options);
    return feed.finish();
}

} // namespace travonix
