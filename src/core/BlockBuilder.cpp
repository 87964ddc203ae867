#include "core/BlockWords.h"
#include "core/Conversion.h"
#include "core/FileNameCheck.h"
#include "core/InstructionWord.h"
#include "core/Text.h"
#include "core/relay/Relayer.h"

#include <algorithm>
#include <string_view>

namespace travonix {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kBalMark = "     <---------------------";
constexpr std::string_view kEndCFunction = "End CFunction";
constexpr std::string_view kEntryWordPlaceholder = "00000000";
constexpr std::size_t kWordsPerLine = 8;
// A view line that grows past this holds three words and a new one starts.
constexpr std::size_t kDisplayLineWidth = 26;

bool endsWithCrLf(std::string_view text) {
    return text.size() >= kCrLf.size() && text.substr(text.size() - kCrLf.size()) == kCrLf;
}

// The question is about the instruction the chip runs, so the code line's
// word decides, not its text: a symbol such as <do_jalr_free> in the
// operands, or a mnemonic that contradicts its word, changes nothing.
bool isJalrLine(const Listing& listing, std::size_t index) {
    if (index >= listing.size())
        return false;
    const ListingLine& line = listing.line(index);
    if (line.kind != LineKind::Instruction || line.tabCount < 2)
        return false;
    const auto word = wholeWord(listing.field(line, 1));
    return word && classOfWord(*word) == WordClass::RegisterCall;
}

// What a run will write, read from the records of the rows' lines before
// anything is built.
struct RunSize {
    std::size_t words = 0;     // at most, give or take a long line's
    std::size_t lines = 0;     // header and body lines
    std::size_t lineBytes = 0; // their text
    std::size_t branches = 0;  // rewritten jumps, marked in the listing copy
    std::size_t nameBytes = 0; // the rows' names
};

RunSize measureRun(const Listing& listing, const std::vector<BlockRow>& rows) {
    RunSize size;
    for (const BlockRow& row : rows) {
        size.nameBytes += row.name.size();
        if (row.headerLine >= listing.size())
            continue;
        size.lineBytes += listing.line(row.headerLine).textLength;
        ++size.lines;
        for (std::size_t i = row.headerLine + 1; i < listing.size(); ++i) {
            const ListingLine& line = listing.line(i);
            if (line.kind == LineKind::Empty || line.kind == LineKind::Header ||
                line.textLength == 0)
                break;
            ++size.lines;
            size.lineBytes += line.textLength;
            size.branches += line.rewritten;
            if (line.textLength > kLongLineLength)
                size.words += line.textLength / 9; // a long line's words, nine characters each
            else if (line.tabCount > 0)
                ++size.words;
        }
    }
    return size;
}

class BlockBuilder {
  public:
    BlockBuilder(const Listing& listing, const ConversionPlan& plan,
                 const ConversionSettings& settings, const Stamp& stamp,
                 const JalrQuestion& continueAfterJalr, bool showSource, LinesPassed passed)
        : listing_(listing), rows_(plan.rows), settings_(settings), stamp_(stamp),
          continueAfterJalr_(continueAfterJalr), merge_(settings.mode == OutputMode::Merged),
          relaying_(merge_ && settings.positionIndependent), showSource_(showSource),
          passed_(std::move(passed)) {
        out_.blockTexts.resize(merge_ && !rows_.empty() ? 1 : rows_.size());
        reserveRoom();
    }

    GeneratedBlocks run() {
        for (std::size_t k = 0; k < rows_.size(); ++k) {
            if (!buildRow(k)) {
                out_.abandoned = true;
                return std::move(out_);
            }
        }
        if (merge_)
            writeEntryOffset();
        if (relaying_)
            relayMergedBlock();
        tellPassed(true);
        return std::move(out_);
    }

  private:
    bool buildRow(std::size_t k);
    void writeHead(std::size_t k);
    bool scanBody(std::size_t k);
    void appendWord(std::string& block, std::string_view word, bool fromLongLine);
    void copyListingLine(std::string_view line, bool markBal);
    void closeBlock(std::size_t k);
    void writeEntryOffset();
    void reserveRoom();
    void tellPassed(bool atEnd);
    void relayMergedBlock();
    void writeRelaidBlock(const relay::RelayOutcome& relaid);
    void showRelaidWords(const relay::RelayOutcome& relaid);
    // The block a row's words go to: its own, or in merge mode the one block.
    std::string& blockOf(std::size_t k) { return out_.blockTexts[merge_ ? 0 : k]; }

    const Listing& listing_;
    const std::vector<BlockRow>& rows_;
    const ConversionSettings& settings_;
    const Stamp& stamp_;
    const JalrQuestion& continueAfterJalr_;
    const bool merge_;
    GeneratedBlocks out_;
    std::size_t displayLine_ = 0;
    std::size_t rowStart_ = 0; // where the current row's text starts in its block
    // How far the build has come through the listing, and how far it last told.
    std::size_t builtEnd_ = 0;
    std::size_t toldEnd_ = 0;
    // Merge mode: the word count at the first word of "main" (0 when main
    // comes first or is absent), and the length of the first block just
    // before its entry word.
    std::int64_t entryOffset_ = 0;
    std::size_t headLength_ = 0;
    // Merge mode with positionIndependent: each word's link address and text,
    // and where each row's words start.
    const bool relaying_;
    const bool showSource_;
    const LinesPassed passed_;
    struct PlacedWord {
        std::uint32_t address;
        std::string_view text;
    };
    std::vector<PlacedWord> placed_;
    std::vector<relay::BlockImage::Routine> rowStarts_;
    std::uint32_t lineAddress_ = 0;
};

bool BlockBuilder::buildRow(std::size_t k) {
    const BlockRow& row = rows_[k];
    copyListingLine(listing_.text(row.headerLine), false);
    if (merge_ && k > 0) {
        if (toLowerAscii(row.name) == "main")
            entryOffset_ = out_.wordCount;
        // Each further routine of the merged block follows a line naming it.
        std::string& block = blockOf(k);
        block += kCrLf;
        block += "'" + printableName(row.name);
        block += kCrLf;
        rowStart_ = block.size();
    } else {
        writeHead(k);
    }
    displayLine_ = out_.generatedSource.size();
    if (relaying_)
        rowStarts_.push_back({placed_.size(), !row.readOnlyData, 0});
    if (!scanBody(k))
        return false;
    closeBlock(k);
    tellPassed(false);
    if (merge_ && showSource_) {
        const bool lastRow = k + 1 == rows_.size();
        out_.generatedSource.push_back(lastRow ? std::string("'")
                                               : "'" + printableName(rows_[k + 1].name));
    }
    return true;
}

// A large run's texts grow to megabytes. Given their room at once, they are
// not moved as they grow: a text that moves leaves the room it moved out of
// to the heap, where little of it is taken up again.
void BlockBuilder::reserveRoom() {
    const RunSize size = measureRun(listing_, rows_);
    constexpr std::size_t kWordBytes = 9;   // eight digits and a blank
    constexpr std::size_t kHeadBytes = 256; // a block's comment lines and "CFunction"
    // A little more than counted: room that is never written costs nothing,
    // one character too few moves the whole text.
    constexpr std::size_t kSpare = 4096;
    const std::size_t lineEnds = size.words / 3 + 3 * rows_.size() + 1; // three words a line
    if (showSource_)
        out_.generatedSource.reserve(size.words * kWordBytes + size.nameBytes + 2 * rows_.size() +
                                         settings_.mergedName.size() + kSpare,
                                     lineEnds + kSpare);
    if (merge_ && !rows_.empty())
        out_.blockTexts[0].reserve(kHeadBytes + settings_.mergedName.size() + size.nameBytes +
                                   5 * rows_.size() + size.words * kWordBytes +
                                   3 * (size.words / kWordsPerLine + rows_.size()) +
                                   kEndCFunction.size() + kSpare);
    if (settings_.keepListingCopy)
        out_.listingCopy.reserve(size.lineBytes + 2 * size.lines + kBalMark.size() * size.branches +
                                 kSpare);
}

// Every row's words are copied into its block, so the build reads no line
// behind it again, unless it re-lays the merged block, which reads every word
// once more at the end. Told in steps of many lines, not once a row.
void BlockBuilder::tellPassed(bool atEnd) {
    constexpr std::size_t kStepLines = 4096;
    if (!passed_ || (!atEnd && (relaying_ || builtEnd_ < toldEnd_ + kStepLines)))
        return;
    toldEnd_ = atEnd ? listing_.size() : builtEnd_;
    passed_(toldEnd_);
}

// The block's head; in merge mode the first block carries the merged name and,
// in a comment, the first function's own name.
void BlockBuilder::writeHead(std::size_t k) {
    const BlockRow& row = rows_[k];
    const std::string& name = merge_ ? settings_.mergedName : row.name;
    std::string& block = out_.blockTexts[k];
    rowStart_ = 0;
    block += "'";
    block += kCrLf;
    block += commentStampLine(name, row.readOnlyData, stamp_);
    block += kCrLf;
    block += "'";
    block += kCrLf;
    block += "CFunction " + withoutUnderscores(name);
    block += kCrLf;
    if (merge_) {
        block += "'" + printableName(row.name);
        block += kCrLf;
    }
    if (k == 0)
        headLength_ = block.size();
    block += '\t';
    block += kEntryWordPlaceholder;
    block += kCrLf;

    if (!showSource_)
        return;
    TextLines& view = out_.generatedSource;
    if (k > 0)
        view.emplace_back();
    view.push_back(withoutUnderscores(name));
    if (merge_)
        view.push_back("'" + printableName(row.name));
}

// Reads the body after the header line up to the empty line that ends it. The
// next function's header ends it as well: objdump always puts an empty line
// before a header, and a listing without one must not make every function
// carry the bodies of all that follow it.
bool BlockBuilder::scanBody(std::size_t k) {
    for (std::size_t i = rows_[k].headerLine + 1;; ++i) {
        builtEnd_ = std::max(builtEnd_, i);
        const std::string_view line = listing_.text(i);
        if (isHeaderText(line))
            return true;
        if (isJalrLine(listing_, i) && !continueAfterJalr_({rows_[k].name, listing_.address(i)}))
            return false;
        copyListingLine(line, true);
        if (line.empty())
            return true;
        if (relaying_)
            lineAddress_ = listing_.address(i);
        // A short line's word is the start of its second field, which the
        // listing's record already knows.
        if (line.size() <= kLongLineLength) {
            const ListingLine& record = listing_.line(i);
            if (record.tabCount > 0) {
                const std::string_view word = listing_.field(record, 1).substr(0, 8);
                if (!word.empty())
                    appendWord(blockOf(k), word, false);
            }
            continue;
        }
        const LineWords taken = takeLineWords(line);
        for (std::string_view word : taken.words)
            appendWord(blockOf(k), word, taken.fromLongLine);
    }
}

void BlockBuilder::appendWord(std::string& block, std::string_view word, bool fromLongLine) {
    // The word always goes to the last view line, or starts a new one.
    if (showSource_) {
        TextLines& view = out_.generatedSource;
        if (displayLine_ >= view.size())
            view.emplace_back();
        view.appendToLast(word);
        view.appendToLast(" ");
        if (view[view.size() - 1].size() > kDisplayLineWidth)
            ++displayLine_;
    }

    if (!fromLongLine && out_.wordCount % kWordsPerLine == 0)
        block += '\t';
    block += word;
    block += ' ';
    if (relaying_) {
        placed_.push_back({lineAddress_, word});
        lineAddress_ += 4;
    }
    ++out_.wordCount;
    if (out_.wordCount % kWordsPerLine == 0)
        block += kCrLf;
}

// The header goes into the listing copy as it stands; body lines that hold a
// "bal" are marked so the user finds the rewritten branches.
void BlockBuilder::copyListingLine(std::string_view line, bool markBal) {
    if (!settings_.keepListingCopy)
        return;
    out_.listingCopy += line;
    if (markBal && containsNoCase(line, "bal"))
        out_.listingCopy += kBalMark;
    out_.listingCopy += kCrLf;
}

void BlockBuilder::closeBlock(std::size_t k) {
    std::string& block = blockOf(k);
    const bool lastRow = k + 1 == rows_.size();
    if (!endsWithCrLf(std::string_view(block).substr(rowStart_)))
        block += kCrLf;
    if (!merge_ || lastRow)
        block += kEndCFunction;
    // Tens of thousands of blocks stay until they are written: without the
    // room each grew into. The merged block is one text, grown to its end.
    if (!merge_)
        block.shrink_to_fit();
}

// Puts the entry offset (eight upper-case hexadecimal digits) in place of the
// first block's "00000000".
void BlockBuilder::writeEntryOffset() {
    if (out_.blockTexts.empty())
        return;
    std::string& head = out_.blockTexts[0];
    const std::size_t at = headLength_ + 1; // after the TAB that opens the entry line
    if (head.size() < at + kEntryWordPlaceholder.size())
        return;
    head.replace(at, kEntryWordPlaceholder.size(),
                 hexUpperPadded(static_cast<std::uint32_t>(entryOffset_), 8));
}

// Re-lays the merged block when each routine's words are the linked
// program's, one after the other: otherwise it stays as built and the report
// says why.
void BlockBuilder::relayMergedBlock() {
    RelayReport& report = out_.relay.emplace();
    report.wordsBefore = out_.wordCount;
    report.wordsAfter = out_.wordCount;
    if (out_.blockTexts.empty() || placed_.empty()) {
        report.refusal = "the merged block holds no words";
        return;
    }
    relay::BlockImage image;
    image.words.reserve(placed_.size());
    image.routines = rowStarts_;
    std::size_t row = 0;
    for (std::size_t i = 0; i < placed_.size(); ++i) {
        const std::optional<std::uint32_t> word = wholeWord(placed_[i].text);
        if (!word) {
            report.refusal =
                "the line at " + hexUpperPadded(placed_[i].address, 8) + " holds no whole word";
            return;
        }
        while (row + 1 < image.routines.size() && image.routines[row + 1].first <= i)
            ++row;
        relay::BlockImage::Routine& routine = image.routines[row];
        if (i == routine.first)
            routine.link = placed_[i].address;
        if (placed_[i].address !=
            routine.link + 4 * static_cast<std::uint32_t>(i - routine.first)) {
            report.refusal = "the words of its routine at " + hexUpperPadded(routine.link, 8) +
                             " do not follow one another as linked (at " +
                             hexUpperPadded(placed_[i].address, 8) + ")";
            return;
        }
        image.words.push_back(*word);
    }
    image.entry = static_cast<std::size_t>(entryOffset_);
    relay::RelayOutcome relaid = relay::relayBlock(image);
    if (!relaid.relaid) {
        report.refusal = std::move(relaid.refusal);
        return;
    }
    writeRelaidBlock(relaid);
    report.relaid = true;
    report.wordsAfter = out_.wordCount;
    report.fixed = std::move(relaid.fixed);
    report.left = std::move(relaid.left);
}

// The merged block's text written again from the re-laid words: the same
// head, the new entry offset, eight words a line, each further routine after
// a line naming it.
void BlockBuilder::writeRelaidBlock(const relay::RelayOutcome& relaid) {
    std::string& block = out_.blockTexts[0];
    block.resize(headLength_);
    block += '\t';
    block += hexUpperPadded(static_cast<std::uint32_t>(relaid.entry), 8);
    block += kCrLf;
    std::size_t row = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i <= relaid.words.size(); ++i) {
        while (row < relaid.routineStarts.size() && relaid.routineStarts[row] == i) {
            if (row > 0) {
                if (!endsWithCrLf(block))
                    block += kCrLf;
                block += kCrLf;
                block += "'" + printableName(rows_[row].name);
                block += kCrLf;
            }
            ++row;
        }
        if (i == relaid.words.size())
            break;
        if (count % kWordsPerLine == 0)
            block += '\t';
        block += hexUpperPadded(relaid.words[i], 8);
        block += ' ';
        ++count;
        if (count % kWordsPerLine == 0)
            block += kCrLf;
    }
    if (!endsWithCrLf(block))
        block += kCrLf;
    block += kEndCFunction;
    out_.wordCount = static_cast<std::int64_t>(count);
    if (showSource_)
        showRelaidWords(relaid);
}

// The view shows the words the file gets: each routine's re-laid words
// after its name, in lines as wide as the build's.
void BlockBuilder::showRelaidWords(const relay::RelayOutcome& relaid) {
    TextLines& view = out_.generatedSource;
    const std::string blockName(view.empty() ? std::string_view() : view[0]);
    view.clear();
    view.push_back(blockName);
    std::string words;
    for (std::size_t row = 0; row < relaid.routineStarts.size(); ++row) {
        view.push_back("'" + printableName(rows_[row].name));
        const std::size_t end = row + 1 < relaid.routineStarts.size()
                                    ? relaid.routineStarts[row + 1]
                                    : relaid.words.size();
        words.clear();
        for (std::size_t i = relaid.routineStarts[row]; i < end; ++i) {
            words += hexUpperPadded(relaid.words[i], 8);
            words += ' ';
            if (words.size() > kDisplayLineWidth) {
                view.push_back(words);
                words.clear();
            }
        }
        if (!words.empty())
            view.push_back(words);
    }
    view.push_back("'");
}

} // namespace

std::vector<JalrLine> jalrLinesOf(const Listing& listing, const ConversionPlan& plan) {
    std::vector<JalrLine> lines;
    for (const BlockRow& row : plan.rows) {
        for (std::size_t i = row.headerLine + 1; i < listing.size(); ++i) {
            const std::string_view text = listing.text(i);
            if (text.empty() || isHeaderText(text))
                break;
            if (isJalrLine(listing, i))
                lines.push_back({row.name, listing.address(i)});
        }
    }
    return lines;
}

GeneratedBlocks buildBlocks(const Listing& listing, const ConversionPlan& plan,
                            const ConversionSettings& settings, const Stamp& stamp,
                            const JalrQuestion& continueAfterJalr, bool showSource,
                            LinesPassed passed) {
    return BlockBuilder(listing, plan, settings, stamp, continueAfterJalr, showSource,
                        std::move(passed))
        .run();
}

} // namespace travonix
