#include "execution/ElfImage.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace travonix::execution {
namespace {

constexpr std::uint32_t kPtLoad = 1;
constexpr std::uint32_t kShtSymtab = 2;
constexpr std::uint8_t kSttFunc = 2;
constexpr std::uint16_t kEmMips = 8;

// Bounds-checked little-endian reads from the file image.
class Reader {
  public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::uint32_t u8(std::size_t at) const { return byteAt(at); }
    std::uint32_t u16(std::size_t at) const { return byteAt(at) | byteAt(at + 1) << 8; }
    std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }

    std::vector<std::uint8_t> slice(std::size_t at, std::size_t size) const {
        check(at, size);
        return {bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                bytes_.begin() + static_cast<std::ptrdiff_t>(at + size)};
    }

    std::string cString(std::size_t at) const {
        std::string text;
        for (std::size_t i = at; byteAt(i) != 0; ++i)
            text.push_back(static_cast<char>(byteAt(i)));
        return text;
    }

  private:
    std::uint32_t byteAt(std::size_t at) const {
        check(at, 1);
        return bytes_[at];
    }
    void check(std::size_t at, std::size_t size) const {
        if (at > bytes_.size() || size > bytes_.size() - at)
            throw std::runtime_error("ELF file truncated");
    }

    const std::vector<std::uint8_t>& bytes_;
};

void checkHeader(const Reader& r) {
    bool magic = r.u8(0) == 0x7f && r.u8(1) == 'E' && r.u8(2) == 'L' && r.u8(3) == 'F';
    if (!magic)
        throw std::runtime_error("not an ELF file");
    if (r.u8(4) != 1 || r.u8(5) != 1)
        throw std::runtime_error("not a 32-bit little-endian ELF file");
    if (r.u16(18) != kEmMips)
        throw std::runtime_error("not a MIPS ELF file");
}

std::vector<ElfSegment> readSegments(const Reader& r) {
    std::uint32_t offset = r.u32(28);
    std::uint32_t entrySize = r.u16(42);
    std::uint32_t count = r.u16(44);
    std::vector<ElfSegment> segments;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t ph = offset + std::size_t{i} * entrySize;
        if (r.u32(ph) != kPtLoad)
            continue;
        ElfSegment segment;
        segment.vaddr = r.u32(ph + 8);
        segment.bytes = r.slice(r.u32(ph + 4), r.u32(ph + 16));
        segment.memSize = r.u32(ph + 20);
        segments.push_back(std::move(segment));
    }
    return segments;
}

std::vector<ElfSymbol> readSymbols(const Reader& r) {
    std::uint32_t offset = r.u32(32);
    std::uint32_t entrySize = r.u16(46);
    std::uint32_t count = r.u16(48);
    auto section = [&](std::uint32_t index) { return offset + std::size_t{index} * entrySize; };
    std::vector<ElfSymbol> symbols;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t sh = section(i);
        if (r.u32(sh + 4) != kShtSymtab)
            continue;
        std::uint32_t table = r.u32(sh + 16);
        std::uint32_t size = r.u32(sh + 20);
        std::uint32_t symbolSize = r.u32(sh + 36);
        std::uint32_t strings = r.u32(section(r.u32(sh + 24)) + 16);
        for (std::uint32_t at = table; symbolSize != 0 && at + symbolSize <= table + size;
             at += symbolSize) {
            ElfSymbol symbol;
            symbol.name = r.cString(strings + r.u32(at));
            symbol.value = r.u32(at + 4);
            symbol.size = r.u32(at + 8);
            symbol.isFunction = (r.u8(at + 12) & 0xf) == kSttFunc;
            if (!symbol.name.empty())
                symbols.push_back(std::move(symbol));
        }
    }
    return symbols;
}

} // namespace

ElfImage ElfImage::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    return parse(bytes);
}

ElfImage ElfImage::parse(const std::vector<std::uint8_t>& file) {
    Reader r(file);
    checkHeader(r);
    ElfImage image;
    image.segments_ = readSegments(r);
    image.symbols_ = readSymbols(r);
    return image;
}

std::optional<ElfSymbol> ElfImage::symbol(const std::string& name) const {
    for (const ElfSymbol& s : symbols_)
        if (s.name == name)
            return s;
    return std::nullopt;
}

std::uint32_t ElfImage::address(const std::string& name) const {
    auto found = symbol(name);
    if (!found)
        throw std::runtime_error("no symbol " + name + " in the ELF image");
    return found->value;
}

} // namespace travonix::execution
