#pragma once

#include "listing/ListingReader.h"

#include <string_view>
#include <vector>

namespace travonix {

// Section reading of readListing: the .text and .rodata sections only.
void readSections(const std::vector<std::string_view>& lines, const ListingReadOptions& options,
                  ListingReadResult& out);

} // namespace travonix
