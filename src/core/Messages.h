#pragma once

#include "core/ListingProgress.h"
#include "core/Options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// Every text the core tells the user, in one place: the steps decide what
// happened and with which code, function, address and file; the words are
// made here. Names from the listing are given as they are and shown
// printable here.

// Reading and rewriting.
// "Disassembling: 12.3 of about 27.4 MB, 8123 functions read".
[[nodiscard]] std::string listingProgressText(const ListingProgress& progress);
// "Writing: 12000 of 40000 files".
[[nodiscard]] std::string writingProgressText(std::size_t done, std::size_t total);
[[nodiscard]] std::string listingTooLargeText();
[[nodiscard]] std::string fillerLimitWarning();
[[nodiscard]] std::string unconvertedJumpsMessage(std::size_t count);
// A code line whose text (mnemonic, operands) contradicts its word: what the
// text says, what the word is, and that the word is used.
[[nodiscard]] std::string wordContradictionMessage(std::uint32_t address, std::string_view mnemonic,
                                                   std::string_view operands, std::uint32_t word);

// Planning.
inline constexpr const char* kNoSelectionText = "No Functions selected for conversion";
inline constexpr const char* kNoOutputFolderText =
    "No output folder specified for the CFunctions, please select a folder";
[[nodiscard]] std::string malformedLineText(std::string_view function, std::size_t fileLine,
                                            std::string_view word);
[[nodiscard]] std::string functionGoneText(std::string_view function);
[[nodiscard]] std::string sameNameText(std::string_view function);
[[nodiscard]] std::string sameNameRenamedText(std::string_view function, std::string_view newName);
[[nodiscard]] std::string mergeWithoutMainText(std::string_view mergedName,
                                               std::string_view firstRoutine);

// Writing.
[[nodiscard]] std::string cannotWriteText(std::string_view shownPath, std::string_view reason);
[[nodiscard]] std::string cancelledText(std::size_t written, std::size_t total);
// The completion box of a run that wrote `writtenNames`: `firstFile` is the
// merged or single file's name, `functions` the functions it holds.
[[nodiscard]] std::string completionText(OutputMode mode, std::string_view firstFile,
                                         std::size_t functions,
                                         const std::vector<std::string>& writtenNames);

} // namespace travonix
