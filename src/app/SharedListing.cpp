#include "app/SharedListing.h"

namespace travonix {

namespace {

const std::shared_ptr<const LoadedListing>& emptyListing() {
    static const auto empty = std::make_shared<const LoadedListing>();
    return empty;
}

} // namespace

SharedListing::SharedListing() : loaded_(emptyListing()) {}

SharedListing::SharedListing(std::shared_ptr<const LoadedListing> loaded)
    : loaded_(loaded ? std::move(loaded) : emptyListing()) {}

SharedListing::SharedListing(Listing listing) {
    auto loaded = std::make_shared<LoadedListing>();
    loaded->image = check::ImageExtent::fromListing(listing.fileText());
    loaded->listing = std::move(listing);
    loaded_ = std::move(loaded);
}

} // namespace travonix
