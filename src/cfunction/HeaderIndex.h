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

// Every function header of the listing by name and occurrence, built once per
// make run, so finding all selected functions costs one pass over the listing
// however many are selected and however long the listing is. Two functions of
// one name (static helpers of two C files) each keep their own header line.
class HeaderIndex {
  public:
    void build(const std::vector<ListingItem>& listing);
    [[nodiscard]] bool isBuilt() const { return built_; }
    // Index of the header line of the `occurrence`-th function (0 the first)
    // that carries exactly this name, in listing order.
    [[nodiscard]] std::optional<std::size_t> find(const std::string& name,
                                                  std::size_t occurrence = 0) const;

  private:
    std::unordered_map<std::string, std::vector<std::size_t>> lines_;
    bool built_ = false;
};

} // namespace travonix
