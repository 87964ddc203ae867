#include "listing/SectionReading.h"

#include "listing/GapFilling.h"
#include "listing/ListingLines.h"
#include "listing/TextRules.h"

#include <cstdint>
#include <optional>
#include <string>

namespace travonix {

namespace {

// What the reader remembers of each stored line: the place a gap after it
// starts from.
struct LineRecord {
    std::int32_t address = 0;
    std::string_view word; // second TAB field as printed, blank included
    bool hasAddress = false;
};

// A "..." waiting for the next line that reaches the gap filling.
struct PendingGap {
    std::size_t recordIndex = 0;
    std::optional<std::int32_t> nextAddress; // unknown: the gap ends its section
};

// Read-only data lines are shown as address and word only.
constexpr std::size_t kDataLineWidth = 19;

// Overwrites text in place from `pos`, keeping the line's length.
void overwriteAt(std::string& line, std::size_t pos, std::string_view with) {
    for (std::size_t k = 0; k < with.size() && pos + k < line.size(); ++k)
        line[pos + k] = with[k];
}

// A data word that happens to decode as a jump must never look like one to
// the jump rewriting.
std::string dataLine(std::string_view trimmed) {
    std::string line(trimmed);
    std::size_t pos = findNoCase(line, "jal");
    if (pos != std::string::npos)
        overwriteAt(line, pos, "JAL.\t");
    pos = findNoCase(line, "j\t");
    if (pos != std::string::npos)
        overwriteAt(line, pos, "J.\t");
    if (line.size() > kDataLineWidth)
        line.resize(kDataLineWidth);
    return line;
}

class SectionReader {
  public:
    SectionReader(const std::vector<std::string_view>& lines, const ListingReadOptions& options,
                  ListingReadResult& out)
        : lines_(lines), options_(options), out_(out), nextAddress_(lines) {}

    void run() {
        out_.listing.reserve(lines_.size());
        records_.reserve(lines_.size());
        for (index_ = 0; index_ < lines_.size(); ++index_)
            readLine(trimBlanks(lines_[index_]));
    }

  private:
    void readLine(std::string_view line);
    [[nodiscard]] bool isSystemFunction(std::string_view line) const {
        return options_.isSystemFunction && options_.isSystemFunction(line);
    }
    void markGap();
    void fillPendingGap();
    void storeLine(std::string_view line);
    void addFunction(std::string_view header);

    const std::vector<std::string_view>& lines_;
    const ListingReadOptions& options_;
    ListingReadResult& out_;
    NextAddressFinder nextAddress_;
    std::size_t index_ = 0;
    ListingSection section_ = ListingSection::None;
    std::vector<LineRecord> records_; // one per stored line
    std::optional<PendingGap> gap_;
    bool skipping_ = false; // not reset by a section header
    std::uint64_t filledWords_ = 0;
};

void SectionReader::readLine(std::string_view line) {
    if (section_ == ListingSection::None) {
        section_ = wantedSectionOf(line);
        return;
    }
    if (isSectionEnd(line)) {
        // objdump puts ".rodata" straight after ".text": the line that ends
        // one section may start the next wanted one.
        section_ = wantedSectionOf(line);
        return;
    }
    if (isGapMarker(line)) {
        markGap();
        return;
    }
    if (isSystemFunction(line)) {
        skipping_ = true;
        section_ = ListingSection::None;
        return;
    }
    fillPendingGap();
    if (!options_.showMain && containsNoCase(line, "<main>:"))
        skipping_ = true;
    if (line.empty() && skipping_)
        skipping_ = false;
    if (skipping_)
        return;
    storeLine(line);
}

void SectionReader::markGap() {
    if (records_.empty()) {
        gap_.reset();
        return;
    }
    PendingGap gap;
    gap.recordIndex = records_.size() - 1;
    // The gap runs up to the next address objdump printed; after a line
    // without an address (an empty line) the start itself is unknown.
    if (records_.back().hasAddress)
        gap.nextAddress = nextAddress_.from(index_ + 1);
    gap_ = gap;
}

void SectionReader::fillPendingGap() {
    if (!gap_)
        return;
    const LineRecord& record = records_[gap_->recordIndex];
    // After an instruction the zeros start one word on; after a header at
    // the header's own address.
    const std::uint32_t start =
        static_cast<std::uint32_t>(record.address) + (record.word.empty() ? 0U : 4U);
    std::uint32_t words = gapWordCount(static_cast<std::int32_t>(start), gap_->nextAddress);
    if (filledWords_ + words > kMaxFillerWordsPerRead) {
        words = kFallbackGapWords;
        out_.fillerLimitReached = true;
    }
    filledWords_ += words;
    for (std::uint32_t k = 0; k < words; ++k) {
        auto address = static_cast<std::int32_t>(start + 4U * k);
        out_.listing.push_back({fillerLine(address, section_), false});
    }
    gap_.reset();
}

void SectionReader::storeLine(std::string_view line) {
    LineRecord record;
    const bool header = isFunctionHeader(line);
    if (header) {
        record.address = hexValue(line);
        record.hasAddress = carriesAddress(line);
        addFunction(line);
    } else if (!line.empty()) {
        auto fields = splitTabs(line, 3);
        record.address = hexValue(fields[0]);
        if (fields.size() > 1)
            record.word = fields[1];
        record.hasAddress = carriesAddress(line);
    }
    records_.push_back(record);
    // Generation finds a function by its whole header line, so headers of
    // the data section are kept whole as well.
    if (section_ == ListingSection::Rodata && !header)
        out_.listing.push_back({dataLine(line), false});
    else
        out_.listing.push_back({std::string(line), false});
}

void SectionReader::addFunction(std::string_view header) {
    auto name = headerName(header);
    if (!name)
        return;
    const std::int32_t dataMark = section_ == ListingSection::Rodata ? 1 : 0;
    out_.functions.push_back({std::string(*name), dataMark, options_.selectAllFuncs});
}

} // namespace

void readSections(const std::vector<std::string_view>& lines, const ListingReadOptions& options,
                  ListingReadResult& out) {
    SectionReader(lines, options, out).run();
}

} // namespace travonix
