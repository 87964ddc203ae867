#pragma once

#include "core/Listing.h"
#include "core/TextLines.h"

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// Lines shown in a failed test's message as the strings they hold.
inline void PrintTo(const TextLines& lines, std::ostream* os) {
    *os << "{";
    for (std::string_view line : lines)
        *os << " \"" << line << "\"";
    *os << " }";
}

} // namespace travonix

namespace travonix::test {

// A listing file's text from its lines, each ended by `lineEnd` (objdump on
// Windows writes CR LF).
inline std::string listingFile(std::initializer_list<std::string_view> lines,
                               std::string_view lineEnd = "\r\n") {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

inline std::string listingFile(const std::vector<std::string>& lines,
                               std::string_view lineEnd = "\r\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + std::string(lineEnd);
    return text;
}

// The text of every line of a listing.
inline std::vector<std::string> textsOf(const Listing& listing) {
    std::vector<std::string> texts;
    texts.reserve(listing.size());
    for (std::size_t i = 0; i < listing.size(); ++i)
        texts.emplace_back(listing.text(i));
    return texts;
}

inline std::vector<std::string> namesOf(const std::vector<FunctionEntry>& functions) {
    std::vector<std::string> names;
    names.reserve(functions.size());
    for (const FunctionEntry& entry : functions)
        names.push_back(entry.name);
    return names;
}

// The filler line of a gap, as the reader writes it.
inline std::string codeFiller(std::string_view address) {
    return std::string(address) + ":\t00000000\tNOP <--Corrected by Travonix";
}
inline std::string dataFiller(std::string_view address) {
    return std::string(address) + ":\t00000000\t<--Corrected by Travonix";
}

} // namespace travonix::test
