#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace travonix {

// Every text the orchestrator shows the user, in one place; the commands
// decide when.

inline constexpr const char* kNoListingMessage =
    "No .DIS file available, use Select .ELF to select  a .ELF file which will automatically "
    "create the required .DIS file.";
inline constexpr const char* kMergedNamePrompt = "Enter a name for the CFunction";
inline constexpr const char* kMergedNameMissing = "Enter a name for the Cfunction";
inline constexpr const char* kPositionIndependentMergeOnly =
    "Position independent re-lays a merged block only: choose Merge to use it; these files are "
    "made without it";
inline constexpr const char* kListingToolTip = "Disassembly of .ELF";

[[nodiscard]] std::string listingNotReadableText(std::string_view path);
// "12 functions found"
[[nodiscard]] std::string functionsFoundText(std::size_t functions);
// "3 functions, 112 words: 3 files written to C:\out"
[[nodiscard]] std::string runSummaryText(std::size_t functions, std::int64_t words,
                                         std::size_t files, std::string_view folder);
[[nodiscard]] std::string elfChangedQuestion(std::string_view elfFileName);
[[nodiscard]] std::string disassemblerSubstitutedText(std::string_view missing,
                                                      std::string_view found);
// "Created at 2026-12-10  09:05:07"
[[nodiscard]] std::string madeAtText(std::string_view date, std::string_view time);
// The completion box's title.
[[nodiscard]] std::string completionTitle();

} // namespace travonix
