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
    lines_.clear();
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (auto name = headerLineName(listing[i].text))
            lines_[std::string(*name)].push_back(i);
    }
    built_ = true;
}

std::optional<std::size_t> HeaderIndex::find(const std::string& name,
                                             std::size_t occurrence) const {
    auto it = lines_.find(name);
    if (it == lines_.end() || occurrence >= it->second.size())
        return std::nullopt;
    return it->second[occurrence];
}

} // namespace travonix
