#include "core/ListingSizeGuess.h"

#include <cstring>

namespace travonix {

namespace {

constexpr std::size_t kHeaderSize = 52;
constexpr std::size_t kSectionEntrySize = 40;
constexpr std::uint32_t kSectionAlloc = 0x2;
constexpr std::uint32_t kSectionNoBits = 8;
// A code line ("9d000040:<TAB>27bdffe8 <TAB>addiu<TAB>sp,sp,-24" and CR LF)
// is 30 to 45 characters; headers and blank lines add a little.
constexpr std::uint64_t kListingBytesPerWord = 37;

std::uint32_t word32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

std::uint32_t half16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

bool isElf32Little(const std::string& header) {
    return header.size() == kHeaderSize &&
           std::memcmp(header.data(),
                       "\x7f"
                       "ELF",
                       4) == 0 &&
           header[4] == 1 && header[5] == 1;
}

} // namespace

std::optional<std::uint64_t> guessListingBytes(const FilePartReader& readPart) {
    const std::optional<std::string> header = readPart(0, kHeaderSize);
    if (!header || !isElf32Little(*header))
        return std::nullopt;
    const std::uint32_t tableAt = word32(*header, 32);
    const std::uint32_t entrySize = half16(*header, 46);
    const std::uint32_t count = half16(*header, 48);
    if (entrySize != kSectionEntrySize || count == 0)
        return std::nullopt;
    const std::size_t tableSize = std::size_t{count} * kSectionEntrySize;
    const std::optional<std::string> table = readPart(tableAt, tableSize);
    if (!table || table->size() != tableSize)
        return std::nullopt;
    std::uint64_t loadedBytes = 0;
    for (std::size_t at = 0; at < tableSize; at += kSectionEntrySize) {
        const std::uint32_t type = word32(*table, at + 4);
        const std::uint32_t flags = word32(*table, at + 8);
        const std::uint32_t offset = word32(*table, at + 16);
        const std::uint32_t size = word32(*table, at + 20);
        if ((flags & kSectionAlloc) == 0 || type == kSectionNoBits || size == 0)
            continue;
        // A section's bytes lie in the file: a table that claims more than
        // the file holds is no ground for setting room aside.
        const std::optional<std::string> last = readPart(std::uint64_t{offset} + size - 1, 1);
        if (!last || last->size() != 1)
            return std::nullopt;
        loadedBytes += size;
    }
    return loadedBytes / 4 * kListingBytesPerWord;
}

} // namespace travonix
