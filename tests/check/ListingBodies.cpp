#include "ListingBodies.h"

#include "core/Text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace travonix::check::test {

namespace {

constexpr std::string_view kSectionHeader = "Disassembly of section ";
constexpr std::int64_t kBranchReach = 32767;

// objdump pads a short address with blanks ("  400130:").
std::uint32_t hexOf(std::string_view text) {
    return hexValue(trimBlanks(text));
}

} // namespace

std::string rewriteJump(std::string_view line) {
    std::vector<std::string_view> fields = splitTabs(line, 5);
    if (fields.size() != 4)
        return std::string(line);
    const bool call = fields[2] == "jal";
    if (!call && fields[2] != "j")
        return std::string(line);
    const std::int64_t from = static_cast<std::int64_t>(hexOf(fields[0])) + 4;
    const std::int64_t offset = (static_cast<std::int64_t>(hexOf(fields[3])) - from) / 4;
    if (offset > kBranchReach || offset < -kBranchReach)
        return std::string(line);
    char word[9];
    std::snprintf(word, sizeof word, "%s%04X", call ? "0411" : "1000",
                  static_cast<unsigned>(offset) & 0xFFFFu);
    return std::string(fields[0]) + "\t" + word + "\t" + (call ? "bal" : "b") + "\t" +
           std::string(fields[3]);
}

std::vector<ListedRoutine> routinesOf(std::string_view listing) {
    std::vector<ListedRoutine> routines;
    std::string section;
    bool inBody = false;
    for (std::string_view line : splitLines(listing)) {
        if (line.rfind(kSectionHeader, 0) == 0) {
            section = std::string(line.substr(kSectionHeader.size()));
            section.pop_back(); // the ":"
            inBody = false;
        } else if (line.empty()) {
            inBody = false;
        } else if (line.size() > 2 && line.substr(line.size() - 2) == ">:") {
            std::size_t open = line.find(" <");
            RoutineBody body{std::string(line.substr(open + 2, line.size() - open - 4)), {}};
            routines.push_back({section, std::move(body)});
            inBody = true;
        } else if (inBody) {
            routines.back().body.lines.push_back(section == ".text" ? rewriteJump(line)
                                                                    : std::string(line));
        }
    }
    return routines;
}

std::vector<ListedRoutine> convertible(const std::vector<ListedRoutine>& routines) {
    std::vector<ListedRoutine> kept;
    for (const ListedRoutine& routine : routines)
        if (routine.section == ".text" || routine.section == ".rodata")
            kept.push_back(routine);
    return kept;
}

std::vector<BlockContent> oneBlockEach(const std::vector<ListedRoutine>& routines) {
    std::vector<BlockContent> blocks;
    for (const ListedRoutine& routine : routines)
        blocks.push_back({routine.body.name, {routine.body}});
    return blocks;
}

std::vector<BlockContent> mergedBlock(const std::vector<ListedRoutine>& routines) {
    BlockContent block{"merged", {}};
    for (const ListedRoutine& routine : routines)
        block.routines.push_back(routine.body);
    return {block};
}

std::vector<ListedRoutine> without(const std::vector<ListedRoutine>& routines,
                                   const std::vector<std::string>& names) {
    std::vector<ListedRoutine> kept;
    for (const ListedRoutine& routine : routines)
        if (std::find(names.begin(), names.end(), routine.body.name) == names.end())
            kept.push_back(routine);
    return kept;
}

} // namespace travonix::check::test
