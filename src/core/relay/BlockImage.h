#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace travonix::relay {

// A merged block as linked: its words one after the other from `base`, the
// routines that start at word indices, and the word the entry offset names.
struct BlockImage {
    struct Routine {
        std::size_t first = 0; // index of its first word
        bool code = true;      // false: read-only data
    };
    std::uint32_t base = 0;
    std::vector<std::uint32_t> words;
    std::vector<Routine> routines; // in block order, the first at index 0
    std::size_t entry = 0;

    [[nodiscard]] std::uint32_t end() const {
        return base + 4 * static_cast<std::uint32_t>(words.size());
    }
    [[nodiscard]] bool holds(std::uint32_t address) const {
        return address - base < 4 * static_cast<std::uint64_t>(words.size());
    }
    [[nodiscard]] std::size_t indexOf(std::uint32_t address) const { return (address - base) / 4; }
    // Whether the word at `index` belongs to a code routine.
    [[nodiscard]] bool isCode(std::size_t index) const;
    // The index where the routine holding `index` ends (one past its last word).
    [[nodiscard]] std::size_t routineEnd(std::size_t index) const;
};

} // namespace travonix::relay
