#include "check/NameClash.h"

#include "core/Text.h"

#include <unordered_map>

namespace travonix::check {

std::string cfunctionName(std::string_view blockName) {
    std::string name;
    for (char c : blockName)
        if (c != '_')
            name += c;
    return name;
}

std::vector<Finding> findNameClashes(const std::vector<BlockFile>& blocks) {
    std::vector<Finding> findings;
    // The first block of each CFunction name, letter case ignored: one look-up
    // a block, however many blocks a run writes.
    std::unordered_map<std::string, std::size_t> firstOfName;
    firstOfName.reserve(blocks.size());
    for (std::size_t later = 0; later < blocks.size(); ++later) {
        const BlockFile& second = blocks[later];
        const std::string name = cfunctionName(second.blockName);
        const auto [it, isFirst] = firstOfName.emplace(toLowerAscii(name), later);
        if (isFirst)
            continue;
        const BlockFile& first = blocks[it->second];
        const std::string both =
            first.blockName + " and " + second.blockName + " both become CFunction " + name;
        std::string sentence;
        if (first.fileName == second.fileName) {
            sentence = both + " in " + first.fileName +
                       ", and BASIC refuses a name defined twice, so the file does not load. "
                       "Rename one of the C routines.";
        } else if (equalsNoCase(first.fileName, second.fileName)) {
            sentence = both + ", and their files " + first.fileName + " and " + second.fileName +
                       " are one file on Windows, which ignores letter case: the later "
                       "replaces the earlier. Rename one of the C routines.";
        } else {
            sentence = both + " (files " + first.fileName + " and " + second.fileName +
                       "), and a program that includes both does not load, since BASIC "
                       "refuses a name defined twice. Rename one of the C routines.";
        }
        findings.push_back(Finding{FindingKind::NameClash, second.blockName, 0, sentence, {}});
    }
    return findings;
}

} // namespace travonix::check
