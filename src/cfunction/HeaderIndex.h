#pragma once

#include "listing/WindowState.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace travonix {

// The name a function header line carries: the text between its first " <"
// and the ">:" after it. Only a line whose last two characters are ">:" is a
// header line; any other line gives std::nullopt.
[[nodiscard]] std::optional<std::string_view> headerLineName(std::string_view line);

// Every function header of the listing by name, built once per make run, so
// finding all selected functions costs one pass over the listing however many
// are selected and however long the listing is.
class HeaderIndex {
  public:
    void build(const std::vector<ListingItem>& listing);
    [[nodiscard]] bool isBuilt() const { return built_; }
    // Index of the first header line that carries exactly this name.
    [[nodiscard]] std::optional<std::size_t> find(const std::string& name) const;

  private:
    std::unordered_map<std::string, std::size_t> firstLine_;
    bool built_ = false;
};

} // namespace travonix
