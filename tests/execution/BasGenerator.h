#pragma once

#include "core/Conversion.h"
#include "core/Diagnostic.h"
#include "core/Options.h"

#include <map>
#include <string>
#include <vector>

namespace travonix::execution {

inline constexpr OutputMode kAllModes[] = {OutputMode::IndividualFiles, OutputMode::SingleFile,
                                           OutputMode::Merged};

const char* modeName(OutputMode mode);

// The name the merged CFunction gets in merge mode.
inline constexpr const char* kMergedName = "Corpus";

// What one conversion produced: the .bas files by name (without folder and
// ".bas"), what the user was told on the way, and the "jalr" lines the user
// was asked about.
struct GeneratedBas {
    std::map<std::string, std::string> files;
    Diagnostics diagnostics;
    std::vector<JalrLine> jalrQuestions;
    std::optional<RelayReport> relay; // with positionIndependent in merge mode
    // The words the window's view of the generated source shows, in order.
    std::vector<std::uint32_t> shownWords;
};

// Runs a .dis listing through the real conversion core as the window does:
// the listing read (section reading, every function selected, `main`
// included), its jumps rewritten, the conversion planned, the blocks built and
// the .bas files written in the given output mode. "jalr" questions are
// answered Yes. With rewriteJumps false the rewriting pass is skipped: the
// listing goes to generation exactly as read, which is the conversion with
// its essential step taken out. Throws std::runtime_error when the conversion
// does not get as far as writing its files.
// With positionIndependent (merge mode), the merged block is re-laid.
GeneratedBas generateBas(const std::string& disText, OutputMode mode, bool rewriteJumps = true,
                         bool positionIndependent = false);

} // namespace travonix::execution
