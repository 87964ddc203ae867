#include "check/NameClash.h"

#include "core/Text.h"

#include <algorithm>
#include <unordered_map>

namespace travonix::check {

std::string cfunctionName(std::string_view blockName) {
    std::string name;
    for (char c : blockName)
        if (c != '_')
            name += c;
    return name;
}

namespace {

constexpr std::string_view kRenameAdvice = "Rename one of the C routines.";
constexpr std::string_view kBadNameAdvice =
    "Give the data a symbol of its own in the C source (a named const array), or leave it "
    "out of the selection.";

// "set_x and setx both become CFunction setx", or, for names that differ
// only in letter case, what each becomes.
std::string whatEachBecomes(const BlockFile& first, const BlockFile& second) {
    const std::string firstName = cfunctionName(first.blockName);
    const std::string secondName = cfunctionName(second.blockName);
    if (firstName == secondName)
        return first.blockName + " and " + second.blockName + " both become CFunction " + firstName;
    return first.blockName + " becomes CFunction " + firstName + " and " + second.blockName +
           " becomes CFunction " + secondName + ", one name to BASIC, which ignores letter case";
}

std::string clashDetail(const BlockFile& first, const BlockFile& second) {
    const std::string both = whatEachBecomes(first, second);
    if (first.fileName == second.fileName)
        return both + " in " + first.fileName +
               ", and BASIC refuses a name defined twice, so the file does not load. ";
    if (equalsNoCase(first.fileName, second.fileName))
        return both + ", and their files " + first.fileName + " and " + second.fileName +
               " are one file on Windows, which ignores letter case: the later replaces the "
               "earlier. ";
    return both + " (files " + first.fileName + " and " + second.fileName +
           "), and a program that includes both does not load, since BASIC refuses a name "
           "defined twice. ";
}

bool basicNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.';
}

} // namespace

std::vector<Finding> findNameClashes(const std::vector<BlockFile>& blocks) {
    std::vector<Finding> findings;
    // The first block of each CFunction name, letter case ignored, and
    // whether it was reported yet: one look-up a block, however many blocks
    // a run writes.
    struct FirstOfName {
        std::size_t block;
        bool reported;
    };
    std::unordered_map<std::string, FirstOfName> firstOfName;
    firstOfName.reserve(blocks.size());
    for (std::size_t later = 0; later < blocks.size(); ++later) {
        const BlockFile& second = blocks[later];
        const auto [it, isFirst] = firstOfName.emplace(
            toLowerAscii(cfunctionName(second.blockName)), FirstOfName{later, false});
        if (isFirst)
            continue;
        const BlockFile& first = blocks[it->second.block];
        const std::string detail = clashDetail(first, second);
        if (!it->second.reported) {
            it->second.reported = true;
            findings.push_back(Finding{FindingKind::NameClash, first.blockName, first.address,
                                       detail, kRenameAdvice, it->second.block, 0});
        }
        findings.push_back(Finding{FindingKind::NameClash, second.blockName, second.address, detail,
                                   kRenameAdvice, later, 0});
    }
    return findings;
}

std::vector<Finding> findBadNames(const std::vector<BlockFile>& blocks) {
    std::vector<Finding> findings;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const std::string name = cfunctionName(blocks[b].blockName);
        const auto bad = std::find_if_not(name.begin(), name.end(), basicNameCharacter);
        if (bad == name.end())
            continue;
        const std::string shownCharacter =
            *bad == ' ' ? std::string("a blank") : "\"" + std::string(1, *bad) + "\"";
        findings.push_back(Finding{FindingKind::BadName, blocks[b].blockName, blocks[b].address,
                                   "CFunction " + name + " holds " + shownCharacter +
                                       ", which no BASIC name can hold, so BASIC does not "
                                       "load the block. ",
                                   kBadNameAdvice, b, 0});
    }
    return findings;
}

} // namespace travonix::check
