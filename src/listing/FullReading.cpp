#include "listing/FullReading.h"

#include "listing/ListingLines.h"

namespace travonix {

namespace {
// objdump's TAB "..." lines and lines that start with a TAB have a short
// first field; addresses, headers and the file-format line have a long one.
bool keptInFullReading(std::string_view line) {
    if (line.empty())
        return true;
    std::size_t tab = line.find('\t');
    std::size_t firstField = tab == std::string_view::npos ? line.size() : tab;
    return firstField > 8;
}
} // namespace

void readWholeListing(const std::vector<std::string_view>& lines, const ListingReadOptions& options,
                      ListingReadResult& out) {
    out.listing.reserve(lines.size());
    for (std::string_view line : lines) {
        if (!keptInFullReading(line))
            continue;
        out.listing.push_back({std::string(line), false});
        if (!isFunctionHeader(line))
            continue;
        if (auto name = headerName(line))
            out.functions.push_back({std::string(*name), 0, options.selectAllFuncs});
    }
}

} // namespace travonix
