#pragma once

#include "core/Listing.h"

#include <cstdint>
#include <string>
#include <vector>

namespace travonix::test {

// A distinct eight-digit machine word for test listings ("2400002a" for 42):
// an addiu to $zero, which moves no control, whatever text stands beside it.
std::string testWord(int n);
// `count` distinct words starting at testWord(first).
std::vector<std::string> testWords(int first, int count);

// Builds listings the way the reader leaves them (trimmed lines: a header
// line, TAB-separated instruction lines, an empty line after each function)
// with their function list.
class ListingBuilder {
  public:
    Listing listing;
    std::vector<FunctionEntry> functions;

    // A function of instruction lines, one per word; listed and selected.
    ListingBuilder& function(const std::string& name, const std::vector<std::string>& words,
                             bool readOnlyData = false, bool selected = true);
    // A function whose body lines are given whole.
    ListingBuilder& functionLines(const std::string& name, const std::vector<std::string>& body,
                                  bool readOnlyData = false, bool selected = true);
    // A plain line of the listing (not a function).
    ListingBuilder& line(const std::string& text);

  private:
    std::uint32_t address_ = 0x9d000000;
};

// An instruction line: address, ":", TAB, the word and a blank, TAB, the rest.
std::string instructionLine(std::uint32_t address, const std::string& word,
                            const std::string& rest = "nop");

} // namespace travonix::test
