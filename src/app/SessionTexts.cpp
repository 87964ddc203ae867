#include "app/SessionTexts.h"

#include "core/Version.h"

namespace travonix {

namespace {

std::string countOf(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string listingNotReadableText(std::string_view path) {
    return "Cannot read the disassembly listing " + std::string(path);
}

std::string functionsFoundText(std::size_t functions) {
    return countOf(static_cast<std::int64_t>(functions), "function", "functions") + " found";
}

std::string runSummaryText(std::size_t functions, std::int64_t words, std::size_t files,
                           std::string_view folder) {
    return countOf(static_cast<std::int64_t>(functions), "function", "functions") + ", " +
           countOf(words, "word", "words") + ": " +
           countOf(static_cast<std::int64_t>(files), "file", "files") + " written to " +
           std::string(folder);
}

std::string elfChangedQuestion(std::string_view elfFileName) {
    return std::string(elfFileName) + "\r\nhas changed, Reload .ELF file ?";
}

std::string disassemblerSubstitutedText(std::string_view missing, std::string_view found) {
    return "Disassembler " + std::string(missing) + " not found; using " + std::string(found) +
           ", found on the search path";
}

std::string madeAtText(std::string_view date, std::string_view time) {
    return "Created at " + std::string(date) + "  " + std::string(time);
}

std::string completionTitle() {
    return std::string(kProductName) + " Maker";
}

} // namespace travonix
