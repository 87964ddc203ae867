#include "support/ListingBuilder.h"

#include "core/Text.h"

#include <cstdio>

namespace travonix::test {

namespace {
std::string hex8(std::uint32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", value);
    return buf;
}
} // namespace

std::string testWord(int n) {
    return hex8(0x24000000u + static_cast<std::uint32_t>(n));
}

std::vector<std::string> testWords(int first, int count) {
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i)
        words.push_back(testWord(first + i));
    return words;
}

std::string instructionLine(std::uint32_t address, const std::string& word,
                            const std::string& rest) {
    return hex8(address) + ":\t" + word + " \t" + rest;
}

ListingBuilder& ListingBuilder::function(const std::string& name,
                                         const std::vector<std::string>& words, bool readOnlyData,
                                         bool selected) {
    std::vector<std::string> body;
    std::uint32_t address = address_;
    for (const std::string& word : words) {
        body.push_back(instructionLine(address, word));
        address += 4;
    }
    return functionLines(name, body, readOnlyData, selected);
}

ListingBuilder& ListingBuilder::functionLines(const std::string& name,
                                              const std::vector<std::string>& body,
                                              bool readOnlyData, bool selected) {
    functions.push_back({name, readOnlyData, selected, listing.size()});
    listing.addMadeLine(hex8(address_) + " <" + name + ">:", LineKind::Header);
    for (const std::string& text : body)
        line(text);
    listing.addMadeLine("", LineKind::Empty);
    address_ += static_cast<std::uint32_t>(4 * body.size());
    return *this;
}

ListingBuilder& ListingBuilder::line(const std::string& text) {
    const LineKind kind = text.empty()         ? LineKind::Empty
                          : isHeaderText(text) ? LineKind::Header
                                               : LineKind::Instruction;
    listing.addMadeLine(text, kind);
    return *this;
}

} // namespace travonix::test
