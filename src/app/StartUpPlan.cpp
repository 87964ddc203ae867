#include "app/StartUpPlan.h"

#include "app/SettingsStore.h"

namespace travonix {

StoredOptions readStoredOptions(SettingsStore& store) {
    StoredOptions s;
    s.elfPath = store.readText(keys::kElfFileName);
    s.listingPath = store.readText(keys::kDisFileName);
    s.disassemblerCommand = store.readText(keys::kDisassemblerCommand);
    s.outputFolder = store.readText(keys::kOutputFolder);
    s.mergedName = store.readText(keys::kMergedName);
    s.mplab = store.readBool(keys::kMPLab);
    s.mplabx = store.readBool(keys::kMPLabX);
    s.autoLoadElf = store.readBool(keys::kAutoLoadElf);
    s.showAllFunctions = store.readCheckState(keys::kShowAllFunctions);
    s.selectAll = store.readBool(keys::kSelectAll);
    s.merge = store.readBool(keys::kMerge);
    s.singleFile = store.readBool(keys::kSingleFile);
    s.individualFiles = store.readBool(keys::kIndividualFiles);
    s.autoGenerate = store.readBool(keys::kAutoGenerate);
    s.includeMain = store.readBool(keys::kIncludeMain);
    s.keepListingCopy = store.readBool(keys::kKeepListingCopy);
    s.autoCheck = store.readBool(keys::kAutoCheck);
    s.positionIndependent = store.readBool(keys::kPositionIndependent);
    return s;
}

namespace {

// A stored MPLab changes the toolchain the window opens with (and
// disassembles at once); MPLabX then changes it back only after that.
void planToolchain(const StoredOptions& stored, std::vector<Command>& steps) {
    const bool mplab = stored.mplab.value_or(false);
    if (mplab)
        steps.emplace_back(command::SelectToolchain{Toolchain::MPLab});
    if (stored.mplabx.value_or(false)) {
        if (mplab)
            steps.emplace_back(command::SelectToolchain{Toolchain::MPLabX});
        else
            steps.emplace_back(command::ShowToolchain{Toolchain::MPLabX});
    }
}

// Each stored True selects its output type (and runs its action when that
// changes the choice shown).
void planOutputMode(const StoredOptions& stored, std::vector<Command>& steps) {
    std::optional<OutputMode> shown = kWindowOpening.outputMode;
    const auto apply = [&](const std::optional<bool>& on, OutputMode mode) {
        if (!on)
            return;
        if (*on && shown != mode) {
            shown = mode;
            steps.emplace_back(command::SelectOutputMode{mode, false});
        } else if (*on) {
            steps.emplace_back(command::KeepOutputMode{mode});
        } else if (shown == mode) {
            shown.reset();
        }
    };
    apply(stored.merge, OutputMode::Merged);
    apply(stored.singleFile, OutputMode::SingleFile);
    apply(stored.individualFiles, OutputMode::IndividualFiles);
}

} // namespace

StartUpPlan planStartUp(const StoredOptions& stored, const Options& opening) {
    StartUpPlan plan;
    std::vector<Command>& steps = plan.steps;
    steps.emplace_back(command::StoredPaths{stored.elfPath, stored.listingPath,
                                            stored.disassemblerCommand, stored.outputFolder});
    if (stored.mergedName)
        steps.emplace_back(command::MergedName{*stored.mergedName});
    planToolchain(stored, steps);
    const bool autoLoadElf = stored.autoLoadElf.value_or(opening.autoLoadElf);
    steps.emplace_back(command::AutoLoadElf{autoLoadElf});
    if (stored.showAllFunctions.value_or(0) != 0)
        steps.emplace_back(command::ShowAllFunctions{true});
    // "Select ALL funcs" keeps the functions as they are unless the stored
    // choice is False, which clears every one.
    if (stored.selectAll)
        steps.emplace_back(command::SelectAll{*stored.selectAll, !*stored.selectAll});
    planOutputMode(stored, steps);
    if (stored.autoGenerate && *stored.autoGenerate != opening.autoGenerate)
        steps.emplace_back(command::AutoGenerate{*stored.autoGenerate});
    if (stored.includeMain)
        steps.emplace_back(command::IncludeMain{*stored.includeMain});
    if (stored.keepListingCopy)
        steps.emplace_back(command::KeepListingCopy{*stored.keepListingCopy});
    if (stored.positionIndependent)
        steps.emplace_back(command::PositionIndependent{*stored.positionIndependent});
    steps.emplace_back(command::NoteElfTime{});
    // The watcher runs as the stored "AutoCheck ELF" says, whatever "Auto
    // Generate" set before.
    steps.emplace_back(command::AutoCheck{stored.autoCheck.value_or(opening.autoCheck)});
    steps.emplace_back(command::OfferFoundDisassembler{});
    plan.loadElf = autoLoadElf;
    return plan;
}

} // namespace travonix
