#pragma once

#include "core/ListingText.h"

#include <optional>
#include <string>

namespace travonix {

// The whole file at `path` mapped read-only, as a listing's text that keeps
// the mapping for as long as a listing holds it: a listing of tens of
// megabytes is read from the system's file cache instead of being copied
// into the process. Only an ordinary, non-empty file is mapped; std::nullopt
// for anything else (a FIFO, an empty file, a file that cannot be opened or
// mapped), which the caller then reads as bytes.
//
// The mapping shows the file as it is: a program that rewrites the file in
// place while it is mapped changes what the listing reads (on POSIX, one that
// cuts it short makes the process fail on the next read of the cut part). The
// tool never does: the disassembler's output is written beside the listing
// and renamed over it, which leaves a mapped old file as it was. On Windows a
// mapped file cannot be replaced until its mapping goes.
[[nodiscard]] std::optional<ListingText> mapFileReadOnly(const std::string& path);

} // namespace travonix
