#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace travonix::check {

// Where each word of a block lands: its index among the block's words.
// A block's words normally come in address order, four bytes apart but for
// a few gaps, and are then kept as runs of consecutive words; a block whose
// words go back lists each word, and its positions are sorted by address
// once every word is placed, the first word placed at an address keeping it.
class BlockLayout {
  public:
    void place(std::uint32_t address);
    // Once every word is placed.
    void seal();
    // Before the seal, only while the words came in order: a placed word
    // keeps its position whatever is placed after it.
    [[nodiscard]] std::optional<std::uint32_t> positionOf(std::uint32_t address) const;

    // Whether every word so far came after the one before it.
    [[nodiscard]] bool inOrder() const { return inOrder_; }
    // Places the words of `next`, a later share of the same block, after
    // these, as if placed one by one; only while both are in order and
    // `next` starts after the last word here. False, with nothing placed,
    // otherwise.
    [[nodiscard]] bool appendInOrder(const BlockLayout& next);

  private:
    struct Run {
        std::uint32_t first;    // the address of its first word
        std::uint32_t position; // of its first word
        std::uint32_t count;
    };
    struct Position {
        std::uint32_t address;
        std::uint32_t position;
    };

    void listEveryWord();

    std::vector<Run> runs_;
    std::uint32_t lastAddress_ = 0;
    std::uint32_t placed_ = 0;
    std::vector<std::uint32_t> addresses_;
    std::vector<Position> positions_;
    bool inOrder_ = true;
};

} // namespace travonix::check
