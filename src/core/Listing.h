#pragma once

#include "core/ListingText.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// What a line of the loaded listing is. The reader decides it once.
enum class LineKind : std::uint8_t {
    Empty,       // ends a function's body
    Header,      // "9d000040 <name>:"
    Instruction, // "9d000040:<TAB>word <TAB>mnemonic<TAB>operands" in a code section
    Data,        // a line of a data section: never rewritten as a jump
    Filler,      // a zero word put back where objdump printed "..."
    Other,       // anything else that is shown (objdump's file-format line...)
};

// One line of the listing. Its text lives in the listing's text store; the
// TAB positions are found once, so no step splits the line again. A record
// is 12 bytes: a large program's listing has close to a million lines.
struct ListingLine {
    // A TAB at this offset or past it is not kept: it is found again when asked.
    static constexpr std::uint8_t kFarTab = 255;

    std::uint32_t textStart = 0;
    std::uint32_t textLength = 0;
    std::uint8_t tabs[3] = {0, 0, 0}; // offsets of the first three TABs (or kFarTab)
    std::uint8_t tabCount : 3 = 0;    // TABs in the line, counted up to 4
    LineKind kind : 3 = LineKind::Empty;
    std::uint8_t inEdits : 1 = 0;   // the text is in the edit store, not the file's text
    std::uint8_t rewritten : 1 = 0; // a jump the rewriting turned into a branch (highlighted)

    // Whether one of the first three TABs lies past what a record keeps.
    [[nodiscard]] bool tabsFar() const {
        for (std::size_t k = 0; k < tabCount && k < 3; ++k)
            if (tabs[k] == kFarTab)
                return true;
        return false;
    }
};
static_assert(sizeof(ListingLine) == 12);

// What one pass over a line's characters found: where its TABs are and
// which of the characters that the reader's tests look for it holds, so a
// line that cannot match a test is not searched at all.
struct LineScan {
    std::uint32_t tabs[3] = {0, 0, 0};
    std::uint8_t tabCount = 0;  // counted up to 4
    bool hasDot = false;        // "..." needs one
    bool hasUnderscore = false; // the system functions' names have one
    bool hasLessThan = false;   // "<main>:" has one
    bool hasY = false;          // "Disassembly of section" has one (either case)
};
[[nodiscard]] LineScan scanLine(std::string_view line);

// The loaded listing: the file's text read once (owned, or a mapped file
// shared with whoever mapped it), the lines as records over it, and a small
// store for the lines the tool made or changed (filler, cut data lines,
// rewritten jumps). Copies share the file's text; the records and the store
// are copied.
// A reader of a loaded listing telling how far it has come: it needs no line
// before `line` again.
using LinesPassed = std::function<void(std::size_t line)>;

class Listing {
  public:
    Listing() = default;
    explicit Listing(std::string fileText) : fileText_(std::move(fileText)) {}
    explicit Listing(ListingText fileText) : fileText_(std::move(fileText)) {}

    [[nodiscard]] std::size_t size() const { return lines_.size(); }
    [[nodiscard]] bool empty() const { return lines_.empty(); }
    [[nodiscard]] const ListingLine& line(std::size_t index) const { return lines_[index]; }
    [[nodiscard]] const std::vector<ListingLine>& lines() const { return lines_; }

    // The text of a line as it is shown and copied. An index past the end
    // reads as an empty line.
    [[nodiscard]] std::string_view text(std::size_t index) const {
        return index < lines_.size() ? text(lines_[index]) : std::string_view();
    }
    [[nodiscard]] std::string_view text(const ListingLine& line) const {
        const char* store = line.inEdits ? edits_.data() : fileText_.view().data();
        return std::string_view(store + line.textStart, line.textLength);
    }

    // The TAB-separated fields of a line: 0 the address, 1 the word, 2 the
    // mnemonic, 3 the operands. Field 3 runs to the end of the line. An
    // absent field is empty.
    [[nodiscard]] std::string_view field(const ListingLine& line, std::size_t which) const {
        if (line.tabsFar())
            return fieldFoundAgain(line, which);
        if (which > line.tabCount || which > 3)
            return {};
        const std::string_view all = text(line);
        const std::size_t start = which == 0 ? 0 : std::size_t{line.tabs[which - 1]} + 1;
        const std::size_t end = which < 3 && which < line.tabCount ? line.tabs[which] : all.size();
        return all.substr(start, end - start);
    }
    // All the line's fields at once, as `field` gives them; returns how many
    // there are (at most four, the last one keeping the rest).
    std::size_t fields(const ListingLine& line, std::array<std::string_view, 4>& out) const;
    // How many TAB-separated fields the line has, counted up to 5.
    [[nodiscard]] std::size_t fieldCount(const ListingLine& line) const {
        return static_cast<std::size_t>(line.tabCount) + 1;
    }

    // The line's hexadecimal address (the digits it starts with); 0 without one.
    [[nodiscard]] std::uint32_t address(std::size_t index) const;

    // Adds a line whose text is part of the file's text.
    void addFileLine(std::size_t start, std::size_t length, LineKind kind);
    // The same, with the TABs its scan found.
    void addFileLine(std::size_t start, std::size_t length, LineKind kind, const LineScan& scan);
    // Adds a line whose text the tool made.
    void addMadeLine(std::string_view text, LineKind kind);
    // Replaces a line's text (the jump rewriting); its kind and address stay.
    void replaceText(std::size_t index, std::string_view text);
    void markRewritten(std::size_t index) { lines_[index].rewritten = true; }
    void reserve(std::size_t lines) { lines_.reserve(lines); }

    [[nodiscard]] std::string_view fileText() const { return fileText_.view(); }
    // Lines [first, end) are done with for now: the file's text they were read
    // from may leave memory (a mapped file's pages), to come back if read again.
    // A large run lets its listing go behind it instead of holding all of it.
    void doneWithLines(std::size_t first, std::size_t end) const;
    // The text the file lines were read from, once all of it is there: a
    // listing read while its text arrived gets it at the end.
    void adoptText(ListingText text) { fileText_ = std::move(text); }

    // Code lines that hold no whole machine word (cut inside their word, or
    // not hexadecimal there), by index, in listing order. A function holding
    // one cannot be converted: its block would be short of words.
    void markMalformed(std::size_t index) { malformed_.push_back(index); }
    [[nodiscard]] const std::vector<std::size_t>& malformedLines() const { return malformed_; }
    // The 1-based number of a line in the file it was read from (0 for a
    // line the tool made), counted when a report needs it.
    [[nodiscard]] std::size_t fileLineNumber(std::size_t index) const;

  private:
    // `field` of a line with a TAB past offset 255, whose record cannot hold
    // where it is.
    [[nodiscard]] std::string_view fieldFoundAgain(const ListingLine& line,
                                                   std::size_t which) const;
    void findTabs(ListingLine& line) const;
    void setTabs(ListingLine& line, const std::uint32_t* tabs, std::uint8_t count) const;

    ListingText fileText_;
    std::string edits_;
    std::vector<ListingLine> lines_;
    std::vector<std::size_t> malformed_;
};

// One function of the function list: its name exactly as between " <" and
// ">:" in its header line, whether it is read-only data, whether it is
// selected, and the listing line of its own header.
struct FunctionEntry {
    std::string name;
    bool readOnlyData = false;
    bool selected = false;
    std::size_t headerLine = 0;
};

// The name a header line carries: between its first " <" and the ">:" after
// it. Only a line whose last two characters are ">:" is a header line.
[[nodiscard]] inline bool isHeaderText(std::string_view text) {
    return text.size() >= 2 && text[text.size() - 2] == '>' && text[text.size() - 1] == ':';
}
[[nodiscard]] std::optional<std::string_view> headerNameOf(std::string_view text);

} // namespace travonix
