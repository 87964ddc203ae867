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

class WholeFileReader final : public LineReader {
  public:
    WholeFileReader(const ReadOptions& options, ReadResult& out) : options_(options), out_(out) {}

    std::size_t readFrom(const LineWindow& window) override {
        for (; next_ < window.end(); ++next_) {
            const LineSpan& span = window.spans[next_ - window.first];
            readLine(span.start, window.text.substr(span.start, span.length));
        }
        return next_;
    }
    void finish() override {}

  private:
    void readLine(std::size_t start, std::string_view line);

    const ReadOptions& options_;
    ReadResult& out_;
    std::size_t next_ = 0;
    bool inDataSection_ = false;
};

void WholeFileReader::readLine(std::size_t start, std::string_view line) {
    if (!keptInFullReading(line))
        return;
    if (line.empty()) {
        out_.listing.addFileLine(start, 0, LineKind::Empty, LineScan{});
        return;
    }
    const std::string_view trimmed = trimBlanks(line);
    if (isSectionEnd(trimmed))
        inDataSection_ = isDataSectionHeader(trimmed);
    const LineScan scan = scanLine(line);
    if (isHeaderText(line)) {
        const std::size_t index = out_.listing.size();
        out_.listing.addFileLine(start, line.size(), LineKind::Header, scan);
        if (auto name = headerNameOf(line))
            out_.functions.push_back({std::string(*name), false, options_.selectAll, index});
        return;
    }
    // Data words that objdump shows as jumps must stay data.
    LineKind kind = inDataSection_ ? LineKind::Data : LineKind::Instruction;
    if (!carriesAddress(trimmed))
        kind = LineKind::Other;
    out_.listing.addFileLine(start, line.size(), kind, scan);
    if (kind == LineKind::Instruction && isCodeWordLine(line.substr(0, line.find('\t'))) &&
        !holdsWholeWord(line))
        out_.listing.markMalformed(out_.listing.size() - 1);
}

} // namespace

std::unique_ptr<LineReader> wholeFileReader(const ReadOptions& options, ReadResult& out) {
    return std::make_unique<WholeFileReader>(options, out);
}

} // namespace travonix
