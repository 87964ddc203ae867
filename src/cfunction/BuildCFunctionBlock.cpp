#include "cfunction/BuildCFunctionBlock.h"

#include "app/Product.h"
#include "cfunction/BlockWords.h"
#include "cfunction/CommentStamp.h"
#include "listing/TextRules.h"

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

std::string withoutUnderscores(std::string_view name) {
    std::string out;
    std::copy_if(name.begin(), name.end(), std::back_inserter(out),
                 [](char c) { return c != '_'; });
    return out;
}

bool endsWithCrLf(std::string_view text) {
    return text.size() >= kCrLf.size() && text.substr(text.size() - kCrLf.size()) == kCrLf;
}

// A line index past the end of the listing reads as an empty line.
std::string_view listingLine(const std::vector<ListingItem>& listing, std::size_t index) {
    return index < listing.size() ? std::string_view(listing[index].text) : std::string_view();
}

// The question is about the instruction, so only the mnemonic field counts: a
// symbol such as <do_jalr_free> in the operands is no register jump.
bool isJalrLine(std::string_view line) {
    const auto fields = splitTabs(line, 4);
    if (fields.size() < 3)
        return false;
    const std::string mnemonic = toLowerAscii(trimBlanks(fields[2]));
    return mnemonic == "jalr" || mnemonic.starts_with("jalr.");
}

bool askContinueAfterJalr(Form& form) {
    return form.ui.askYesNo("Warning : JALR instruction found - have you set '-fPIC "
                            "-mno-abicalls' in gcc options ?\r\nContinue ?",
                            kProductName);
}

// The header line goes into the listing copy as it stands; body lines that
// hold a "bal" are marked so the user finds the rewritten branches.
void copyListingLine(GenerationRun& run, Form& form, std::string_view line, bool markBal) {
    if (!form.options.SaveDisAsm)
        return;
    run.listingCopy += line;
    if (markBal && containsNoCase(line, "bal"))
        run.listingCopy += kBalMark;
    run.listingCopy += kCrLf;
}

void appendDisplayWord(GenerationRun& run, std::vector<std::string>& view, std::string_view word) {
    if (run.displayLine >= view.size())
        view.resize(run.displayLine + 1);
    std::string& line = view[run.displayLine];
    line += word;
    line += ' ';
    if (line.size() > kDisplayLineWidth)
        ++run.displayLine;
}

void appendWord(GenerationRun& run, std::string& block, std::string_view word, bool fromLongLine,
                Form& form) {
    appendDisplayWord(run, form.state.pluginSrc, word);
    if (!fromLongLine && run.wordCounter % kWordsPerLine == 0)
        block += '\t';
    block += word;
    block += ' ';
    ++run.wordCounter;
    if (run.wordCounter % kWordsPerLine == 0)
        block += kCrLf;
}

// Writes the block's head and returns the name the block is known by (the
// merged name in merge mode when the name field holds one).
std::string writeHead(GenerationRun& run, std::size_t k, Form& form) {
    SelectedFunction& row = run.rows[k];
    std::string name = row.name;
    const std::string ownName = row.name;
    const std::string mergedName(trimBlanks(form.state.txtCFunctionName));
    if (run.merge && !mergedName.empty())
        name = mergedName;

    std::string& block = row.blockText;
    block += "'";
    block += kCrLf;
    block += commentStampLine(name, row.dataMark != 0, form.env.now(), form.env.userName());
    block += kCrLf;
    block += "'";
    block += kCrLf;
    block += "CFunction " + withoutUnderscores(name);
    block += kCrLf;
    if (run.merge) {
        block += "'" + ownName;
        block += kCrLf;
        if (!mergedName.empty())
            row.name = name; // the file and messages are named after the merged CFunction
    }
    if (k == 0)
        run.headLength = block.size();
    block += '\t';
    block += kEntryWordPlaceholder;
    block += kCrLf;
    return name;
}

void writeDisplayHead(std::size_t k, const std::string& name, const std::string& ownName,
                      bool merge, std::vector<std::string>& view) {
    if (k > 0)
        view.emplace_back();
    view.push_back(withoutUnderscores(name));
    if (merge)
        view.push_back("'" + ownName);
}

// Reads the body after the header line up to the empty line that ends it. The
// next function's header ends it as well: objdump always puts an empty line
// before a header, and a listing without one must not make every function
// carry the bodies of all that follow it.
BlockOutcome scanBody(GenerationRun& run, std::size_t k, Form& form, std::size_t headerLine) {
    const std::vector<ListingItem>& listing = form.state.showFile;
    for (std::size_t i = headerLine + 1;; ++i) {
        std::string_view line = listingLine(listing, i);
        if (headerLineName(line))
            return BlockOutcome::Done;
        if (isJalrLine(line) && !askContinueAfterJalr(form))
            return BlockOutcome::Abandoned;
        copyListingLine(run, form, line, true);
        if (line.empty())
            return BlockOutcome::Done;
        LineWords taken = takeLineWords(line);
        for (std::string_view word : taken.words)
            appendWord(run, run.rows[k].blockText, word, taken.fromLongLine, form);
    }
}

void closeBlock(GenerationRun& run, std::size_t k) {
    std::string& block = run.rows[k].blockText;
    const bool lastRow = k + 1 == run.rows.size();
    if (run.merge && !lastRow) {
        if (!endsWithCrLf(block))
            block += kCrLf;
        return;
    }
    if (!endsWithCrLf(block))
        block += kCrLf;
    block += kEndCFunction;
}

void writeDisplayTail(const GenerationRun& run, std::size_t k, std::vector<std::string>& view) {
    if (!run.merge)
        return;
    const bool lastRow = k + 1 == run.rows.size();
    view.push_back(lastRow ? std::string("'") : "'" + run.rows[k + 1].name);
}

} // namespace

BlockOutcome BuildCFunctionBlock(GenerationRun& run, std::size_t k, Form& form) {
    if (k >= run.rows.size())
        return BlockOutcome::Done;
    if (!run.headers.isBuilt())
        run.headers.build(form.state.showFile);
    const SelectedFunction& row = run.rows[k];
    const std::optional<std::size_t> headerLine =
        run.headers.find(row.nameInListing(), row.occurrence);
    if (!headerLine)
        return BlockOutcome::Done;

    copyListingLine(run, form, form.state.showFile[*headerLine].text, false);
    const std::string ownName = run.rows[k].name;
    std::vector<std::string>& view = form.state.pluginSrc;
    if (run.merge && k > 0) {
        if (toLowerAscii(ownName) == "main")
            run.entryOffset = run.wordCounter;
    } else {
        const std::string name = writeHead(run, k, form);
        writeDisplayHead(k, name, ownName, run.merge, view);
    }
    run.displayLine = view.size();

    if (scanBody(run, k, form, *headerLine) == BlockOutcome::Abandoned)
        return BlockOutcome::Abandoned;
    closeBlock(run, k);
    writeDisplayTail(run, k, view);
    form.ui.generatedSourceProgress();
    return BlockOutcome::Done;
}

} // namespace travonix
