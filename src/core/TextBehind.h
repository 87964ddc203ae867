#pragma once

#include "core/Listing.h"

#include <cstddef>
#include <mutex>
#include <vector>

namespace travonix {

// Lets a mapped listing's text go behind the slowest of a run's readers (the
// build and the check go through the listing side by side): a large listing
// is then not held whole until the run ends, and no page is let go that a
// reader still has to come to, which would only be mapped back in again.
// Readers may tell from different threads.
class TextBehind {
  public:
    TextBehind(const Listing& listing, std::size_t readers)
        : listing_(listing), passed_(readers, 0) {}
    TextBehind(const TextBehind&) = delete;
    TextBehind& operator=(const TextBehind&) = delete;

    // Reader `reader` has passed every line before `line`.
    void passed(std::size_t reader, std::size_t line);
    // What a reader hands its work to tell it.
    [[nodiscard]] LinesPassed readerAt(std::size_t reader) {
        return [this, reader](std::size_t line) { passed(reader, line); };
    }
    // How far the text is let go: every line before this one.
    [[nodiscard]] std::size_t letGo() const;

  private:
    const Listing& listing_;
    mutable std::mutex mutex_;
    std::vector<std::size_t> passed_;
    std::size_t letGo_ = 0;
};

} // namespace travonix
