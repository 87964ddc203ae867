#include "core/BlockWords.h"

namespace travonix {

namespace {

constexpr std::size_t kWordLength = 8;
constexpr std::size_t kLongLineFields = 4;

std::string_view secondTabField(std::string_view line) {
    std::size_t first = line.find('\t');
    if (first == std::string_view::npos)
        return {};
    std::string_view rest = line.substr(first + 1);
    return rest.substr(0, rest.find('\t'));
}

bool hasSecondTabField(std::string_view line) {
    return line.find('\t') != std::string_view::npos;
}

void takeLongLineWords(std::string_view line, LineWords& out) {
    std::string_view field = secondTabField(line);
    std::size_t start = 0;
    for (std::size_t n = 0; n < kLongLineFields && start <= field.size(); ++n) {
        std::size_t blank = field.find(' ', start);
        std::size_t end = blank == std::string_view::npos ? field.size() : blank;
        if (end - start == kWordLength)
            out.words.push_back(field.substr(start, kWordLength));
        if (blank == std::string_view::npos)
            break;
        start = blank + 1;
    }
}

} // namespace

LineWords takeLineWords(std::string_view line) {
    LineWords out;
    if (line.size() > kLongLineLength) {
        out.fromLongLine = true;
        takeLongLineWords(line, out);
        return out;
    }
    if (!hasSecondTabField(line))
        return out;
    std::string_view word = secondTabField(line).substr(0, kWordLength);
    if (!word.empty()) // an empty field carries no word
        out.words.push_back(word);
    return out;
}

} // namespace travonix
