#pragma once

#include "core/ListingReader.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace travonix {

// Reads a listing while its text is still arriving, as readListing reads a
// whole one: each line is read once its end has come (a gap's filling once
// the line that ends the gap has), so the reading keeps pace with the
// disassembler writing the text. The result is the same whatever pieces the
// text came in.
class ListingFeed {
  public:
    // `expectedBytes` is room set aside for the text (a guess is fine).
    explicit ListingFeed(const ReadOptions& options, std::size_t expectedBytes = 0);
    // A whole text, read in place (never copied).
    ListingFeed(ListingText whole, const ReadOptions& options);
    ~ListingFeed();
    ListingFeed(const ListingFeed&) = delete;
    ListingFeed& operator=(const ListingFeed&) = delete;

    // The next bytes of the text; every line they complete is read.
    void append(std::string_view bytes);
    // The end of the text: the last line read, and the result. The listing
    // keeps the text it was read from. Called once.
    [[nodiscard]] ReadResult finish();

    [[nodiscard]] std::uint64_t bytesReceived() const;
    [[nodiscard]] std::size_t functionsRead() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace travonix
