#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace travonix::check {

// The upper half of an address that a lui put into a register.
struct UpperHalf {
    std::uint32_t value = 0;
    std::size_t origin = 0; // index of the lui line
    bool indexed = false;   // an index was added to it (addu)
};

// The upper halves held in the 32 registers, with a mask of the registers
// that hold one.
class UpperHalves {
  public:
    const std::optional<UpperHalf>& operator[](int r) const {
        return halves_[static_cast<std::size_t>(r)];
    }
    void set(int r, const std::optional<UpperHalf>& half) {
        halves_[static_cast<std::size_t>(r)] = half;
        const std::uint32_t bit = std::uint32_t{1} << r;
        held_ = half ? (held_ | bit) : (held_ & ~bit);
    }
    void reset(int r) { set(r, std::nullopt); }
    [[nodiscard]] bool any() const { return held_ != 0; }

  private:
    std::array<std::optional<UpperHalf>, 32> halves_{};
    std::uint32_t held_ = 0;
};

} // namespace travonix::check
