#include "core/SectionReading.h"

#include "core/GapFilling.h"
#include "core/LineForms.h"
#include "core/SystemFunctions.h"
#include "core/Text.h"

#include <optional>
#include <string>

namespace travonix {

namespace {

// What the reader remembers of the last stored line: the place a gap after
// it starts from.
struct LastStored {
    std::string_view line; // its address is read only when a gap follows
    bool hasWord = false;  // an instruction: the zeros start one word on
    bool hasAddress = false;
};

// A "..." waiting for the next line that reaches the gap filling.
struct PendingGap {
    LastStored from;
    std::optional<std::uint32_t> nextAddress; // unknown: the gap ends its section
};

// Read-only data lines are shown as address and word only.
constexpr std::size_t kDataLineWidth = 19;

void overwriteAt(std::string& line, std::size_t pos, std::string_view with) {
    for (std::size_t k = 0; k < with.size() && pos + k < line.size(); ++k)
        line[pos + k] = with[k];
}

// A data word that happens to decode as a jump must never look like one to
// the jump rewriting. Made in `line`, whose room is kept from the line
// before: a large program has a data line for every word of its tables.
std::string_view dataLine(std::string_view trimmed, std::string& line) {
    static const NoCaseNeedle kJal("jal");
    static const NoCaseNeedle kJump("j\t");
    line.assign(trimmed);
    std::size_t pos = kJal.findIn(line);
    if (pos != std::string::npos)
        overwriteAt(line, pos, "JAL.\t");
    pos = kJump.findIn(line);
    if (pos != std::string::npos)
        overwriteAt(line, pos, "J.\t");
    return std::string_view(line).substr(0, kDataLineWidth);
}

class SectionReader {
  public:
    SectionReader(const std::vector<LineSpan>& lines, const ReadOptions& options, ReadResult& out)
        : lines_(lines), options_(options), out_(out), text_(out.listing.fileText()) {}

    void run() {
        out_.listing.reserve(lines_.size());
        for (index_ = 0; index_ < lines_.size(); ++index_)
            readLine(trimmedLine(index_));
    }

  private:
    [[nodiscard]] std::string_view trimmedLine(std::size_t index) const {
        return trimBlanks(text_.substr(lines_[index].start, lines_[index].length));
    }
    void readLine(std::string_view line);
    LineScan scan_; // of the line being read
    void markGap();
    std::optional<std::uint32_t> nextAddressFrom(std::size_t index);
    void fillPendingGap();
    void storeLine(std::string_view line);

    const std::vector<LineSpan>& lines_;
    const ReadOptions& options_;
    ReadResult& out_;
    std::string_view text_;
    std::size_t index_ = 0;
    WantedSection section_ = WantedSection::None;
    std::optional<LastStored> last_;
    std::optional<PendingGap> gap_;
    bool skipping_ = false; // not reset by a section header
    std::uint64_t filledWords_ = 0;
    bool fillerLimitReached_ = false;
    // The stretch of lines last scanned for the next address, so runs of gap
    // markers and empty lines are scanned once and a read stays linear.
    std::size_t scannedFrom_ = 1, scannedTo_ = 0;
    std::optional<std::uint32_t> scannedAddress_;
    std::string dataLine_; // room for the data line being made
    std::string filler_;   // room for the filler line being made

  public:
    [[nodiscard]] bool fillerLimitReached() const { return fillerLimitReached_; }
};

void SectionReader::readLine(std::string_view line) {
    if (section_ == WantedSection::None) {
        section_ = wantedSectionOf(line);
        return;
    }
    scan_ = scanLine(line);
    if (scan_.hasY && isSectionEnd(line)) {
        // objdump puts ".rodata" straight after ".text": the line that ends
        // one section may start the next wanted one.
        section_ = wantedSectionOf(line);
        return;
    }
    if (scan_.hasDot && isGapMarker(line)) {
        markGap();
        return;
    }
    if (scan_.hasUnderscore && isSystemFunction(line)) {
        skipping_ = true;
        section_ = WantedSection::None;
        return;
    }
    fillPendingGap();
    static const NoCaseNeedle kMainHeader("<main>:");
    if (!options_.includeMain && scan_.hasLessThan && kMainHeader.isIn(line))
        skipping_ = true;
    if (line.empty() && skipping_)
        skipping_ = false;
    if (skipping_)
        return;
    storeLine(line);
}

void SectionReader::markGap() {
    if (!last_) {
        gap_.reset();
        return;
    }
    PendingGap gap{*last_, std::nullopt};
    // The gap runs up to the next address objdump printed; after a line
    // without an address (an empty line) the start itself is unknown.
    if (last_->hasAddress)
        gap.nextAddress = nextAddressFrom(index_ + 1);
    gap_ = gap;
}

std::optional<std::uint32_t> SectionReader::nextAddressFrom(std::size_t index) {
    if (index >= scannedFrom_ && index <= scannedTo_)
        return scannedAddress_;
    scannedFrom_ = index;
    scannedAddress_.reset();
    std::size_t i = index;
    for (; i < lines_.size(); ++i) {
        const std::string_view line = trimmedLine(i);
        if (isSectionEnd(line))
            break;
        if (carriesAddress(line)) {
            scannedAddress_ = hexValue(line);
            break;
        }
    }
    scannedTo_ = i;
    return scannedAddress_;
}

void SectionReader::fillPendingGap() {
    if (!gap_)
        return;
    // After an instruction the zeros start one word on; after a header at
    // the header's own address.
    const std::uint32_t start = hexValue(gap_->from.line) + (gap_->from.hasWord ? 4U : 0U);
    std::uint32_t words = gapWordCount(start, gap_->nextAddress);
    if (filledWords_ + words > kMaxFillerWordsPerRead) {
        words = kFallbackGapWords;
        fillerLimitReached_ = true;
    }
    filledWords_ += words;
    const bool data = section_ == WantedSection::Rodata;
    for (std::uint32_t k = 0; k < words; ++k) {
        const std::uint32_t address = start + 4U * k;
        makeFillerLine(address, data, filler_);
        out_.listing.addMadeLine(filler_, LineKind::Filler);
    }
    gap_.reset();
}

void SectionReader::storeLine(std::string_view line) {
    const auto start = static_cast<std::size_t>(line.data() - text_.data());
    const bool data = section_ == WantedSection::Rodata;
    LastStored stored;
    stored.line = line;
    stored.hasAddress = carriesAddress(line);
    if (line.empty()) {
        out_.listing.addFileLine(start, 0, LineKind::Empty);
        last_ = stored;
        return;
    }
    if (isHeaderText(line)) {
        const std::size_t index = out_.listing.size();
        // Generation finds a function by its whole header line, so headers of
        // the data section are kept whole as well.
        out_.listing.addFileLine(start, line.size(), LineKind::Header, scan_);
        if (auto name = headerNameOf(line))
            out_.functions.push_back({std::string(*name), data, options_.selectAll, index});
        last_ = stored;
        return;
    }
    // A word is the text between the first TAB and the next one (or the end).
    if (scan_.tabCount > 0) {
        const std::size_t wordEnd = scan_.tabCount > 1 ? scan_.tabs[1] : line.size();
        stored.hasWord = wordEnd > scan_.tabs[0] + 1;
    }
    last_ = stored;
    if (data) {
        // Mostly only the cut: then the line stays a view into the file's text.
        const std::string_view made = dataLine(line, dataLine_);
        if (line.starts_with(made))
            out_.listing.addFileLine(start, made.size(), LineKind::Data);
        else
            out_.listing.addMadeLine(made, LineKind::Data);
    } else {
        out_.listing.addFileLine(start, line.size(), LineKind::Instruction, scan_);
        const std::size_t firstTab = scan_.tabCount > 0 ? scan_.tabs[0] : line.size();
        if (isCodeWordLine(line.substr(0, firstTab)) && !holdsWholeWord(line))
            out_.listing.markMalformed(out_.listing.size() - 1);
    }
}

} // namespace

void readSections(const std::vector<LineSpan>& lines, const ReadOptions& options, ReadResult& out) {
    SectionReader reader(lines, options, out);
    reader.run();
    if (reader.fillerLimitReached())
        out.diagnostics.push_back(warning(DiagnosticCode::FillerLimit, fillerLimitWarning()));
}

} // namespace travonix
