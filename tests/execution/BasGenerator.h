#pragma once

#include "support/ScriptedServices.h"

#include <map>
#include <string>
#include <vector>

namespace travonix::execution {

// The three output types, by the index of their option button.
enum class OutputMode { Individual = 0, Single = 1, Merge = 2 };

inline constexpr OutputMode kAllModes[] = {OutputMode::Individual, OutputMode::Single,
                                           OutputMode::Merge};

const char* modeName(OutputMode mode);

// The name the merged CFunction gets in merge mode.
inline constexpr const char* kMergedName = "Corpus";

// What one conversion produced: the .bas files by name (without folder and
// ".bas") and what the window showed on the way.
struct GeneratedBas {
    std::map<std::string, std::string> files;
    std::vector<test::ScriptedServices::Shown> messages;
    std::vector<test::ScriptedServices::Shown> questions;
};

// Runs a .dis listing through the real conversion core as the window does:
// the listing read (with the jump rewriting) and then the make command, every
// function selected, `main` included, in the given output mode. "jalr"
// warnings are answered Yes. With rewriteJumps false the read skips the
// rewriting pass: the listing goes to generation exactly as read, which is
// the conversion with its essential step taken out.
GeneratedBas generateBas(const std::string& disText, OutputMode mode, bool rewriteJumps = true);

} // namespace travonix::execution
