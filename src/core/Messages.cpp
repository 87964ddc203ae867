#include "core/Messages.h"

#include "core/FileNameCheck.h"
#include "core/InstructionWord.h"
#include "core/Text.h"

#include <algorithm>

namespace travonix {

namespace {

// Megabytes with one decimal.
std::string megabytes(std::uint64_t bytes) {
    const std::uint64_t tenths = (bytes + 50000) / 100000;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

} // namespace

std::string listingProgressText(const ListingProgress& progress) {
    std::string text = "Disassembling: " + megabytes(progress.bytes);
    if (progress.expectedBytes > 0)
        text += " of about " + megabytes(std::max(progress.expectedBytes, progress.bytes));
    return text + " MB, " + std::to_string(progress.functions) + " functions read";
}

std::string writingProgressText(std::size_t done, std::size_t total) {
    return "Writing: " + std::to_string(done) + " of " + std::to_string(total) + " files";
}

std::string listingTooLargeText() {
    return "The listing is larger than 2 GiB: not read";
}

std::string fillerLimitWarning() {
    return "The listing's gaps hold more than 4 MiB of zero words: later gaps were filled "
           "with two words each";
}

std::string unconvertedJumpsMessage(std::size_t count) {
    return "There are " + std::to_string(count) +
           " unconverted JAL/J instructions in the output, targets are too far away";
}

std::string wordContradictionMessage(std::uint32_t address, std::string_view mnemonic,
                                     std::string_view operands, std::uint32_t word) {
    const WordClass kind = classOfWord(word);
    std::string said(trimBlanks(mnemonic));
    if (!operands.empty())
        said += " " + std::string(trimBlanks(operands));
    std::string text = "The listing's line at " + lowerHex8(address) + " says \"" +
                       printableName(said) + "\" but its word " + lowerHex8(word) + " is ";
    if (const auto target = fixedTarget(address, word);
        target && kind != WordClass::Branch && kind != WordClass::BranchAndLink)
        text += "a " + std::string(wordClassName(kind)) + " to " + lowerHex8(*target);
    else if (kind == WordClass::Other)
        text += "no jump";
    else
        text += "a " + std::string(wordClassName(kind));
    return text +
           ": the word is what runs, so the word is converted (is the listing cut or edited?)";
}

std::string malformedLineText(std::string_view function, std::size_t fileLine,
                              std::string_view word) {
    std::string shownWord(word);
    if (shownWord.size() > 16)
        shownWord = shownWord.substr(0, 16) + "...";
    return "Function " + printableName(function) + ": line " + std::to_string(fileLine) +
           " of the listing holds no whole machine word (\"" + printableName(shownWord) +
           "\" is not eight hexadecimal digits), so no CFunction was made for it; "
           "the listing may be cut short or edited: disassemble the ELF file again";
}

std::string functionGoneText(std::string_view function) {
    return "Function " + printableName(function) +
           " is no longer in the listing: no CFunction was made for it";
}

std::string sameNameText(std::string_view function) {
    return "Two functions are named " + printableName(function) +
           ": both CFunctions carry that name";
}

std::string sameNameRenamedText(std::string_view function, std::string_view newName) {
    return "Two functions are named " + printableName(function) + ": the later one is written as " +
           printableName(newName) + ".bas";
}

std::string mergeWithoutMainText(std::string_view mergedName, std::string_view firstRoutine) {
    const std::string first = printableName(firstRoutine);
    return "The merged CFunction " + printableName(mergedName) +
           " holds no main: its entry word points at " + first +
           ", the first routine, so BASIC calls " + first +
           " (select main, with Include main(), to start there)";
}

std::string cannotWriteText(std::string_view shownPath, std::string_view reason) {
    std::string text = "Cannot write " + printableName(shownPath) + ": ";
    text += reason;
    // One line, whatever the platform's reason holds.
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

std::string cancelledText(std::size_t written, std::size_t total) {
    if (written == 0)
        return "Cancelled: no file was written; every file is as it was";
    return "Cancelled: " + std::to_string(written) + " of " + std::to_string(total) +
           " files written; the others are as they were";
}

std::string completionText(OutputMode mode, std::string_view firstFile, std::size_t functions,
                           const std::vector<std::string>& writtenNames) {
    switch (mode) {
    case OutputMode::Merged:
        return std::string(firstFile) + ".bas\r\n\r\n file written to disk";
    case OutputMode::SingleFile:
        return std::string(firstFile) + ".bas file written to disk - containing " +
               std::to_string(functions) + " individual functions";
    case OutputMode::IndividualFiles:
        break;
    }
    std::string message;
    for (const std::string& name : writtenNames)
        message += " " + name + "\r\n";
    return message + "\r\n file(s) written to disk";
}

} // namespace travonix
