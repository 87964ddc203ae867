#pragma once

#include "listing/ListingReader.h"

#include <string_view>
#include <vector>

namespace travonix {

// Full reading of readListing ("Show ALL funcs"): lines untrimmed, every
// section, every function.
void readWholeListing(const std::vector<std::string_view>& lines, const ListingReadOptions& options,
                      ListingReadResult& out);

} // namespace travonix
