#pragma once

#include "core/Listing.h"
#include "pipeline/Pipeline.h"

#include <memory>

namespace travonix {

// The loaded listing the window shows, shared and never changed in place: a
// run off the window's thread holds the same listing as a snapshot, so a
// new read replaces the session's listing without touching the one the run
// still reads.
class SharedListing {
  public:
    SharedListing();
    explicit SharedListing(std::shared_ptr<const LoadedListing> loaded);
    // A listing made elsewhere (a test's, a benchmark's): its image is read
    // from its text.
    SharedListing(Listing listing); // NOLINT(google-explicit-constructor)

    [[nodiscard]] const std::shared_ptr<const LoadedListing>& loaded() const { return loaded_; }
    [[nodiscard]] const Listing& get() const { return loaded_->listing; }
    operator const Listing&() const { return get(); } // NOLINT(google-explicit-constructor)

    [[nodiscard]] std::size_t size() const { return get().size(); }
    [[nodiscard]] bool empty() const { return get().empty(); }
    [[nodiscard]] std::string_view text(std::size_t index) const { return get().text(index); }
    [[nodiscard]] const ListingLine& line(std::size_t index) const { return get().line(index); }
    [[nodiscard]] const std::vector<ListingLine>& lines() const { return get().lines(); }
    [[nodiscard]] std::uint32_t address(std::size_t index) const { return get().address(index); }
    [[nodiscard]] std::string_view fileText() const { return get().fileText(); }

  private:
    std::shared_ptr<const LoadedListing> loaded_;
};

} // namespace travonix
