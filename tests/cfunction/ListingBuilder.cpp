#include "ListingBuilder.h"

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
    return hex8(0x10000000u + static_cast<std::uint32_t>(n));
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
                                         const std::vector<std::string>& words,
                                         std::int32_t dataMark, bool selected) {
    std::vector<std::string> body;
    std::uint32_t address = address_;
    for (const std::string& word : words) {
        body.push_back(instructionLine(address, word));
        address += 4;
    }
    return functionLines(name, body, dataMark, selected);
}

ListingBuilder& ListingBuilder::functionLines(const std::string& name,
                                              const std::vector<std::string>& body,
                                              std::int32_t dataMark, bool selected) {
    form_.state.showFile.push_back({hex8(address_) + " <" + name + ">:", false});
    for (const std::string& text : body)
        form_.state.showFile.push_back({text, false});
    form_.state.showFile.push_back({"", false});
    form_.state.funcs.push_back({name, dataMark, selected});
    address_ += static_cast<std::uint32_t>(4 * body.size());
    return *this;
}

void ListingBuilder::reset() {
    form_.state = WindowState{};
    address_ = 0x9d000000;
}

ListingBuilder& ListingBuilder::line(const std::string& text) {
    form_.state.showFile.push_back({text, false});
    return *this;
}

} // namespace travonix::test
