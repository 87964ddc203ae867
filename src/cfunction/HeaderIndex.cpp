#include "cfunction/HeaderIndex.h"

namespace travonix {

std::optional<std::string_view> headerLineName(std::string_view line) {
    if (line.size() < 2 || line.substr(line.size() - 2) != ">:")
        return std::nullopt;
    std::size_t open = line.find(" <");
    if (open == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = line.substr(open + 2);
    std::size_t close = rest.find(">:");
    if (close == std::string_view::npos)
        return std::nullopt;
    return rest.substr(0, close);
}

void HeaderIndex::build(const std::vector<ListingItem>& listing) {
    firstLine_.clear();
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (auto name = headerLineName(listing[i].text))
            firstLine_.emplace(std::string(*name), i); // keeps the first of a name
    }
    built_ = true;
}

std::optional<std::size_t> HeaderIndex::find(const std::string& name) const {
    auto it = firstLine_.find(name);
    if (it == firstLine_.end())
        return std::nullopt;
    return it->second;
}

} // namespace travonix
