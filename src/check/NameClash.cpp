#include "check/NameClash.h"

#include "core/Text.h"

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
    for (std::size_t later = 1; later < blocks.size(); ++later) {
        const BlockFile& second = blocks[later];
        const std::string name = cfunctionName(second.blockName);
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            const BlockFile& first = blocks[earlier];
            if (!equalsNoCase(cfunctionName(first.blockName), name))
                continue;
            const std::string both =
                first.blockName + " and " + second.blockName + " both become CFunction " + name;
            std::string sentence;
            if (first.fileName == second.fileName) {
                sentence = both + " in " + first.fileName +
                           ", and BASIC refuses a name defined twice, so the file does not load. "
                           "Rename one of the C routines.";
            } else if (equalsNoCase(first.fileName, second.fileName)) {
                sentence = both + ", and their files " + first.fileName + " and " +
                           second.fileName +
                           " are one file on Windows, which ignores letter case: the later "
                           "replaces the earlier. Rename one of the C routines.";
            } else {
                sentence = both + " (files " + first.fileName + " and " + second.fileName +
                           "), and a program that includes both does not load, since BASIC "
                           "refuses a name defined twice. Rename one of the C routines.";
            }
            findings.push_back(Finding{FindingKind::NameClash, second.blockName, 0, sentence});
            break;
        }
    }
    return findings;
}

} // namespace travonix::check
