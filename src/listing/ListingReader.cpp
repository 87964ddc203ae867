#include "listing/ListingReader.h"

#include "app/AppOptions.h"
#include "listing/FullReading.h"
#include "listing/SectionReading.h"
#include "listing/TextRules.h"

namespace travonix {

ListingReadOptions listingReadOptions(const AppOptions& options, bool fullReading) {
    ListingReadOptions read;
    read.showMain = options.ShowMain;
    read.selectAllFuncs = options.SelectAllFuncs;
    read.fullReading = fullReading;
    read.isSystemFunction = [&options](std::string_view name) {
        return options.isSystemFunction(name);
    };
    return read;
}

std::string fillerLimitWarning() {
    return "The listing's gaps hold more than 4 MiB of zero words: later gaps were filled "
           "with two words each";
}

ListingReadResult readListing(std::string_view fileText, const ListingReadOptions& options) {
    const std::vector<std::string_view> lines = splitLines(fileText);
    ListingReadResult result;
    if (options.fullReading)
        readWholeListing(lines, options, result);
    else
        readSections(lines, options, result);
    return result;
}

} // namespace travonix
