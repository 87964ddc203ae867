#pragma once

#include "core/ListingReader.h"

#include <cstdint>
#include <vector>

namespace travonix {

// Where one line of the file's text lies.
struct LineSpan {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
};

// The two readings of readListing over the file's lines.
void readSections(const std::vector<LineSpan>& lines, const ReadOptions& options, ReadResult& out);
void readWholeFile(const std::vector<LineSpan>& lines, const ReadOptions& options, ReadResult& out);

} // namespace travonix
