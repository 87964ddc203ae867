#include "app/ShownFindings.h"

#include "check/InstructionLine.h"
#include "core/Text.h"

namespace travonix {

// A run announces every finding, tens of thousands in a large program: the
// text is made in one piece.
std::string findingText(const check::Finding& finding) {
    const std::string_view kind = check::findingKindName(finding.kind);
    std::string text;
    text.reserve(finding.function.size() + 12 + kind.size() + 2 + finding.sentenceSize());
    text += finding.function;
    text += "  ";
    text += check::hexAddress(finding.address);
    text += "  ";
    text += kind;
    text += "  ";
    text += finding.detail;
    text += finding.advice;
    return text;
}

std::size_t findingLineIn(const Listing& listing, std::size_t header,
                          const check::Finding& finding) {
    if (finding.kind == check::FindingKind::NameClash ||
        finding.kind == check::FindingKind::BadName)
        return header;
    for (std::size_t i = header + 1; i < listing.size(); ++i) {
        const std::string_view text = listing.text(i);
        if (text.empty() || isHeaderText(text))
            break;
        if (listing.address(i) == finding.address)
            return i;
    }
    return header;
}

} // namespace travonix
