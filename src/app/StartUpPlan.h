#pragma once

#include "app/Command.h"
#include "app/ControlState.h"
#include "core/Options.h"

#include <optional>
#include <string>
#include <vector>

namespace travonix {

class SettingsStore;

// Every stored option as the store gave it; std::nullopt where it could not
// be read (an absent key reads as its absent text).
struct StoredOptions {
    std::optional<std::string> elfPath = {};
    std::optional<std::string> listingPath = {};
    std::optional<std::string> disassemblerCommand = {};
    std::optional<std::string> outputFolder = {};
    std::optional<std::string> mergedName = {};
    std::optional<bool> mplab = {};
    std::optional<bool> mplabx = {};
    std::optional<bool> autoLoadElf = {};
    std::optional<int> showAllFunctions = {}; // a check state 0, 1 or 2
    std::optional<bool> selectAll = {};
    std::optional<bool> merge = {};
    std::optional<bool> singleFile = {};
    std::optional<bool> individualFiles = {};
    std::optional<bool> autoGenerate = {};
    std::optional<bool> includeMain = {};
    std::optional<bool> keepListingCopy = {};
    std::optional<bool> autoCheck = {};
    std::optional<bool> positionIndependent = {};
};

// Reads every stored option once, in the order the store has always been read.
[[nodiscard]] StoredOptions readStoredOptions(SettingsStore& store);

// What start-up does: the stored options given to their controls one by one,
// in a fixed order, each as the command a click on that control would be,
// so the actions a change sets off (a re-read, a disassembly) happen in that
// order; then, when "Auto Load .ELF" is on, a Refresh as the user's own.
struct StartUpPlan {
    std::vector<Command> steps; // run before anything else, every job in place
    bool loadElf = false;
};

// Pure: the plan for the stored options, from the options before start-up
// (a value that cannot be read leaves its option as it was).
[[nodiscard]] StartUpPlan planStartUp(const StoredOptions& stored, const Options& opening);

} // namespace travonix
