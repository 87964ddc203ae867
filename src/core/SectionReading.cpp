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
// it starts from. Kept as an offset: a text still arriving may move.
struct LastStored {
    LineSpan line;        // its address is read only when a gap follows
    bool hasWord = false; // an instruction: the zeros start one word on
    bool hasAddress = false;
};

// A "..." waiting for the next line that reaches the gap filling.
struct PendingGap {
    LastStored from;
    std::optional<std::uint32_t> nextAddress; // unknown: the gap ends its section
};

// Whether the line after a gap marker that ends the gap has arrived.
enum class Lookahead : std::uint8_t { Found, NotYet };

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

class SectionReader final : public LineReader {
  public:
    SectionReader(const ReadOptions& options, ReadResult& out) : options_(options), out_(out) {}

    std::size_t readFrom(const LineWindow& window) override {
        window_ = &window;
        for (; next_ < window.end(); ++next_)
            if (!readLine(trimmedLine(next_)))
                break; // a gap marker waits for the line that ends its gap
        return next_;
    }

    void finish() override {
        if (fillerLimitReached_)
            out_.diagnostics.push_back(warning(DiagnosticCode::FillerLimit, fillerLimitWarning()));
    }

  private:
    [[nodiscard]] std::string_view trimmedLine(std::size_t number) const {
        return trimBlanks(window_->line(number));
    }
    [[nodiscard]] std::size_t offsetOf(std::string_view line) const {
        return static_cast<std::size_t>(line.data() - window_->text.data());
    }
    bool readLine(std::string_view line);
    LineScan scan_; // of the line being read
    bool markGap();
    Lookahead nextAddressFrom(std::size_t number);
    void fillPendingGap();
    void storeLine(std::string_view line);

    const ReadOptions& options_;
    ReadResult& out_;
    const LineWindow* window_ = nullptr;
    std::size_t next_ = 0; // the number of the next line to read
    WantedSection section_ = WantedSection::None;
    std::optional<LastStored> last_;
    std::optional<PendingGap> gap_;
    bool skipping_ = false; // not reset by a section header
    std::uint64_t filledWords_ = 0;
    bool fillerLimitReached_ = false;
    // The stretch of lines last scanned for the next address, so runs of gap
    // markers and empty lines are scanned once and a read stays linear, also
    // while the lines after a gap are still arriving.
    std::size_t scannedFrom_ = static_cast<std::size_t>(-1), scannedTo_ = 0;
    bool scanEnded_ = false; // the scan found the gap's end (or the text's)
    std::optional<std::uint32_t> scannedAddress_;
    std::string dataLine_; // room for the data line being made
    std::string filler_;   // room for the filler line being made
};

// False when the line waits for lines not yet there.
bool SectionReader::readLine(std::string_view line) {
    if (section_ == WantedSection::None) {
        section_ = wantedSectionOf(line);
        return true;
    }
    scan_ = scanLine(line);
    if (scan_.hasY && isSectionEnd(line)) {
        // objdump puts ".rodata" straight after ".text": the line that ends
        // one section may start the next wanted one.
        section_ = wantedSectionOf(line);
        return true;
    }
    if (scan_.hasDot && isGapMarker(line))
        return markGap();
    if (scan_.hasUnderscore && isSystemFunction(line)) {
        skipping_ = true;
        section_ = WantedSection::None;
        return true;
    }
    fillPendingGap();
    static const NoCaseNeedle kMainHeader("<main>:");
    if (!options_.includeMain && scan_.hasLessThan && kMainHeader.isIn(line))
        skipping_ = true;
    if (line.empty() && skipping_)
        skipping_ = false;
    if (!skipping_)
        storeLine(line);
    return true;
}

bool SectionReader::markGap() {
    if (!last_) {
        gap_.reset();
        return true;
    }
    PendingGap gap{*last_, std::nullopt};
    // The gap runs up to the next address objdump printed; after a line
    // without an address (an empty line) the start itself is unknown.
    if (last_->hasAddress) {
        if (nextAddressFrom(next_ + 1) == Lookahead::NotYet)
            return false;
        gap.nextAddress = scannedAddress_;
    }
    gap_ = gap;
    return true;
}

Lookahead SectionReader::nextAddressFrom(std::size_t number) {
    if (scanEnded_ && number >= scannedFrom_ && number <= scannedTo_)
        return Lookahead::Found;
    // Else a new scan, unless this is the one still waiting for its lines.
    if (scanEnded_ || number != scannedFrom_) {
        scannedFrom_ = number;
        scannedTo_ = number;
        scannedAddress_.reset();
        scanEnded_ = false;
    }
    std::size_t i = scannedTo_;
    for (; i < window_->end(); ++i) {
        const std::string_view line = trimmedLine(i);
        if (isSectionEnd(line)) {
            scanEnded_ = true;
            break;
        }
        if (carriesAddress(line)) {
            scannedAddress_ = hexValue(line);
            scanEnded_ = true;
            break;
        }
    }
    scannedTo_ = i;
    if (!scanEnded_ && !window_->ended)
        return Lookahead::NotYet;
    scanEnded_ = true; // the text's end ends the gap
    return Lookahead::Found;
}

void SectionReader::fillPendingGap() {
    if (!gap_)
        return;
    // After an instruction the zeros start one word on; after a header at
    // the header's own address.
    const LineSpan from = gap_->from.line;
    const std::uint32_t start =
        hexValue(window_->text.substr(from.start, from.length)) + (gap_->from.hasWord ? 4U : 0U);
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
    const std::size_t start = offsetOf(line);
    const bool data = section_ == WantedSection::Rodata;
    LastStored stored;
    stored.line = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(line.size())};
    stored.hasAddress = carriesAddress(line);
    if (line.empty()) {
        out_.listing.addFileLine(start, 0, LineKind::Empty, LineScan{});
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
            out_.listing.addFileLine(start, made.size(), LineKind::Data, scanLine(made));
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

std::unique_ptr<LineReader> sectionReader(const ReadOptions& options, ReadResult& out) {
    return std::make_unique<SectionReader>(options, out);
}

} // namespace travonix
