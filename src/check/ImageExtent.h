#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace travonix::check {

// One section of the linked program as the listing shows it: from its first
// line's address to the end of its last printed word.
struct ImageSection {
    std::string name; // ".text", ".rodata", ".data", ".bss", ...
    std::uint32_t start = 0;
    std::uint32_t end = 0; // one past the last byte

    [[nodiscard]] bool contains(std::uint32_t address) const {
        return address >= start && address < end;
    }
};

// A symbol of a header line ("9d000120 <gamma_curve>:").
struct ImageSymbol {
    std::uint32_t address = 0;
    std::string name;
};

// Where the linked program lies, read from the whole listing objdump wrote
// (every section, not only the ones the tool converts). An address inside it
// means nothing once the interpreter loads a block elsewhere; one outside it
// (peripheral registers, the boot area, the interpreter's firmware) stays
// valid wherever the block runs.
class ImageExtent {
  public:
    // Sections that objdump shows at address 0 are not loaded (.comment,
    // .pdr, debugging information) and are left out: nothing of a PIC32
    // program lies at 0.
    [[nodiscard]] static ImageExtent fromListing(std::string_view listing);

    [[nodiscard]] const std::vector<ImageSection>& sections() const { return sections_; }
    // The section holding the address, or nullptr outside the image.
    [[nodiscard]] const ImageSection* sectionAt(std::uint32_t address) const;
    // "gamma_curve", "gamma_curve+0x10" or "" when no symbol precedes the
    // address in its section.
    [[nodiscard]] std::string symbolAt(std::uint32_t address) const;
    // The value the program sets $gp to, from the .reginfo section when the
    // listing shows it.
    [[nodiscard]] std::optional<std::uint32_t> gpValue() const { return gp_; }

  private:
    std::vector<ImageSection> sections_;
    std::vector<ImageSymbol> symbols_; // sorted by address
    std::optional<std::uint32_t> gp_;
};

} // namespace travonix::check
