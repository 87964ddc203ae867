#pragma once

#include <cstddef>
#include <cstdint>

namespace travonix {

// How far the disassembly of an ELF file has come, as the listing arrives.
struct ListingProgress {
    std::uint64_t bytes = 0;         // the listing's text so far
    std::uint64_t expectedBytes = 0; // a guess from the ELF file's sections; 0: none
    std::size_t functions = 0;       // functions read so far

    // Parts of a thousand done, by the bytes against the guess: never the
    // whole before the end (the guess may be short), -1 without a guess.
    [[nodiscard]] int permille() const {
        if (expectedBytes == 0)
            return -1;
        const std::uint64_t part = bytes * 1000 / expectedBytes;
        return static_cast<int>(part < 990 ? part : 990);
    }
};

} // namespace travonix
