#include "core/LineForms.h"
#include "core/SectionReading.h"
#include "core/Text.h"

namespace travonix {

namespace {

// objdump's TAB "..." lines and lines that start with a TAB have a short
// first field; addresses, headers and the file-format line have a long one.
bool keptInFullReading(std::string_view line) {
    if (line.empty())
        return true;
    const std::size_t tab = line.find('\t');
    const std::size_t firstField = tab == std::string_view::npos ? line.size() : tab;
    return firstField > 8;
}

} // namespace

void readWholeFile(const std::vector<LineSpan>& lines, const ReadOptions& options,
                   ReadResult& out) {
    const std::string_view text = out.listing.fileText();
    out.listing.reserve(lines.size());
    bool inDataSection = false;
    for (const LineSpan& span : lines) {
        const std::string_view line = text.substr(span.start, span.length);
        if (!keptInFullReading(line))
            continue;
        if (line.empty()) {
            out.listing.addFileLine(span.start, 0, LineKind::Empty);
            continue;
        }
        const std::string_view trimmed = trimBlanks(line);
        if (isSectionEnd(trimmed))
            inDataSection = isDataSectionHeader(trimmed);
        if (isHeaderText(line)) {
            const std::size_t index = out.listing.size();
            out.listing.addFileLine(span.start, span.length, LineKind::Header);
            if (auto name = headerNameOf(line))
                out.functions.push_back({std::string(*name), false, options.selectAll, index});
            continue;
        }
        // Data words that objdump shows as jumps must stay data.
        LineKind kind = inDataSection ? LineKind::Data : LineKind::Instruction;
        if (!carriesAddress(trimmed))
            kind = LineKind::Other;
        out.listing.addFileLine(span.start, span.length, kind);
        if (kind == LineKind::Instruction && isCodeWordLine(line.substr(0, line.find('\t'))) &&
            !holdsWholeWord(line))
            out.listing.markMalformed(out.listing.size() - 1);
    }
}

} // namespace travonix
