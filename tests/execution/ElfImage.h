#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace travonix::execution {

// One loadable segment of a linked program: its bytes go to vaddr, the rest
// up to memSize is zero (.bss).
struct ElfSegment {
    std::uint32_t vaddr = 0;
    std::uint32_t memSize = 0;
    std::vector<std::uint8_t> bytes;
};

struct ElfSymbol {
    std::string name;
    std::uint32_t value = 0;
    std::uint32_t size = 0;
    bool isFunction = false;
};

// The parts of a 32-bit little-endian MIPS executable that running it needs:
// the PT_LOAD segments and the symbol table. Throws std::runtime_error when
// the file is not such an executable.
class ElfImage {
  public:
    static ElfImage load(const std::string& path);
    static ElfImage parse(const std::vector<std::uint8_t>& file);

    const std::vector<ElfSegment>& segments() const { return segments_; }
    const std::vector<ElfSymbol>& symbols() const { return symbols_; }
    std::optional<ElfSymbol> symbol(const std::string& name) const;
    // The symbol's address; throws when the image has no such symbol.
    std::uint32_t address(const std::string& name) const;

  private:
    std::vector<ElfSegment> segments_;
    std::vector<ElfSymbol> symbols_;
};

} // namespace travonix::execution
