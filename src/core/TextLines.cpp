#include "core/TextLines.h"

namespace travonix {

TextLines::TextLines(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines)
        push_back(line);
}

std::string_view TextLines::operator[](std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(start, ends_[i] - start);
}

void TextLines::push_back(std::string_view line) {
    text_.append(line);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
}

void TextLines::appendToLast(std::string_view text) {
    if (ends_.empty())
        ends_.push_back(0);
    text_.append(text);
    ends_.back() = static_cast<std::uint32_t>(text_.size());
}

void TextLines::reserve(std::size_t characters, std::size_t lines) {
    text_.reserve(characters);
    ends_.reserve(lines);
}

void TextLines::clear() {
    text_.clear();
    ends_.clear();
}

bool operator==(const TextLines& lines, const std::vector<std::string>& strings) {
    if (lines.size() != strings.size())
        return false;
    for (std::size_t i = 0; i < strings.size(); ++i)
        if (lines[i] != strings[i])
            return false;
    return true;
}

} // namespace travonix
