#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace travonix::relay {

// A merged block as built: its words, the routines that start at word
// indices with the link address each had, and the word the entry offset
// names. A routine's words lie one after the other as linked; routines need
// not (a routine left out of the selection leaves a gap in the link
// addresses, none in the block).
struct BlockImage {
    struct Routine {
        std::size_t first = 0;  // index of its first word
        bool code = true;       // false: read-only data
        std::uint32_t link = 0; // link address of its first word
    };
    std::vector<std::uint32_t> words;
    std::vector<Routine> routines; // in block order, the first at index 0
    std::size_t entry = 0;

    // The link address the block's first word had: where the re-laid block
    // is taken to lie for its link-form addresses.
    [[nodiscard]] std::uint32_t base() const { return addressOf(0); }
    [[nodiscard]] std::size_t routineAt(std::size_t index) const;
    [[nodiscard]] std::size_t routineEnd(std::size_t index) const;
    [[nodiscard]] bool isCode(std::size_t index) const;
    [[nodiscard]] std::uint32_t addressOf(std::size_t index) const;

    // Sorts the routines' link ranges for locate; false when two overlap
    // (a listing that cannot be a linked program).
    [[nodiscard]] bool index();
    // The word whose link address range holds `address`.
    [[nodiscard]] std::optional<std::size_t> locate(std::uint32_t address) const;
    // The last word of the routine that `address` is one past the end of.
    [[nodiscard]] std::optional<std::size_t> endingAt(std::uint32_t address) const;

  private:
    struct Range {
        std::uint64_t start;
        std::uint64_t end;
        std::size_t routine;
    };
    std::vector<Range> ranges_; // non-empty routines by link address
};

} // namespace travonix::relay
