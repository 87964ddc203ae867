// What the option controls, the choosers and the watcher do.

#include "app/Orchestrator.h"

#include "app/SessionTexts.h"
#include "core/FunctionSelection.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "core/Version.h"

namespace travonix {

// Runs only when the choice changes, as a click on the box would.
FollowUps Orchestrator::apply(const command::ShowAllFunctions& c) {
    if (options_.conversion.fullReading == c.on)
        return {};
    options_.conversion.fullReading = c.on;
    return {FollowUp::ReadListing};
}

FollowUps Orchestrator::apply(const command::SelectAll& c) {
    options_.conversion.selectAll = c.on;
    if (!c.applyToList)
        return {};
    selectAll(session_.functions, c.on);
    session_.currentFunction = session_.functions.empty() ? -1 : 0;
    changed();
    return {};
}

// Runs only when the choice changes, as a click on the box would.
FollowUps Orchestrator::apply(const command::IncludeMain& c) {
    if (options_.conversion.includeMain == c.on)
        return {};
    options_.conversion.includeMain = c.on;
    return {FollowUp::ReadListing};
}

// Runs only when the choice changes, as a click on another option would.
FollowUps Orchestrator::apply(const command::SelectOutputMode& c) {
    if (options_.conversion.mode == c.mode)
        return {};
    options_.conversion.mode = c.mode;
    FollowUps followUps;
    // A merged block's entry word points at main; single files leave it out.
    if (c.mode == OutputMode::SingleFile)
        followUps = apply(command::IncludeMain{false});
    else if (c.mode == OutputMode::Merged)
        followUps = apply(command::IncludeMain{true});
    changed();
    if (c.makeAfter)
        followUps.push_back(FollowUp::Make);
    return followUps;
}

FollowUps Orchestrator::apply(const command::KeepOutputMode& c) {
    options_.conversion.mode = c.mode;
    return {};
}

FollowUps Orchestrator::apply(const command::MergedName& c) {
    options_.conversion.mergedName = std::string(trimBlanks(c.text));
    return {};
}

FollowUps Orchestrator::apply(const command::KeepListingCopy& c) {
    options_.conversion.keepListingCopy = c.on;
    return {};
}

FollowUps Orchestrator::apply(const command::PositionIndependent& c) {
    options_.conversion.positionIndependent = c.on;
    return {};
}

FollowUps Orchestrator::apply(const command::AutoLoadElf& c) {
    options_.autoLoadElf = c.on;
    return {};
}

FollowUps Orchestrator::apply(const command::AutoCheck& c) {
    options_.autoCheck = c.on;
    controls_.watcherRunning = c.on;
    changed();
    return {};
}

// Unticking it stops the watcher even while "AutoCheck ELF" stays ticked.
FollowUps Orchestrator::apply(const command::AutoGenerate& c) {
    options_.autoGenerate = c.on;
    controls_.watcherRunning = c.on;
    changed();
    return {};
}

// ---- the disassembler --------------------------------------------------

FollowUps Orchestrator::apply(const command::SelectToolchain& c) {
    options_.toolchain = c.toolchain;
    // The vendor's command with "-z", as a stored one gets it at start-up.
    if (c.toolchain == Toolchain::MPLabX)
        options_.disassemblerCommand = withZeroWords(kMPLabXCommand);
    else if (c.toolchain == Toolchain::MPLab)
        options_.disassemblerCommand = withZeroWords(kMPLabCommand);
    controls_.listingToolTip = kListingToolTip;
    changed();
    return {FollowUp::Disassemble};
}

FollowUps Orchestrator::apply(const command::ShowToolchain& c) {
    options_.toolchain = c.toolchain;
    return {};
}

// "Other": the command stays as it is until the user gives one.
FollowUps Orchestrator::apply(const command::OtherDisassembler&) {
    options_.toolchain = Toolchain::None;
    changed();
    return {};
}

FollowUps Orchestrator::apply(const command::DisassemblerCommand& c) {
    const std::string given(trimBlanks(c.command));
    if (given.empty())
        return {};
    options_.toolchain = Toolchain::None;
    options_.disassemblerCommand = withZeroWords(given);
    changed();
    if (options_.elfPath.empty())
        return {};
    return {FollowUp::Disassemble};
}

FollowUps Orchestrator::apply(const command::Refresh&) {
    return {FollowUp::Disassemble};
}

FollowUps Orchestrator::disassembleNow() {
    // One disassembly at a time: the window offers no Refresh while one runs.
    if (jobOut_)
        return {};
    auto job = std::make_shared<DisassemblyJob>();
    job->options = options_;
    return launch(std::move(job));
}

FollowUps Orchestrator::apply(const command::DisassemblyDone& c) {
    const DisassemblyOutcome& outcome = c.job->outcome;
    if (outcome.elfTime)
        lastElfTime_ = *outcome.elfTime;
    report(outcome.diagnostics);
    if (!outcome.readListing)
        return {};
    if (c.job->read) {
        arrived_ = std::move(c.job->read);
        arrivedWith_ = readOptionsOf(c.job->options.conversion);
    }
    return {FollowUp::ReadListing};
}

// ---- the choosers and the watcher --------------------------------------

FollowUps Orchestrator::apply(const command::ElfChosen& c) {
    if (c.path.empty())
        return {};
    options_.elfPath = c.path;
    options_.listingPath = listingPathFor(c.path);
    // Choosing an ELF file moves the output folder to the ELF file's folder.
    options_.conversion.outputFolder = folderPart(c.path);
    session_.listing = SharedListing();
    session_.functions.clear();
    session_.generatedSource.clear();
    session_.findings.clear();
    options_.conversion.mergedName.clear();
    changed();
    return {FollowUp::Disassemble};
}

// A cancelled chooser ("") keeps the folder the user had.
FollowUps Orchestrator::apply(const command::OutputFolderChosen& c) {
    if (c.folder.empty())
        return {};
    options_.conversion.outputFolder = c.folder;
    changed();
    return {};
}

FollowUps Orchestrator::apply(const command::WatcherTick&) {
    const std::string& elf = options_.elfPath;
    if (elf.empty() || !env_.fileExists(elf))
        return {};
    const std::optional<std::string> time = env_.fileModifiedText(elf);
    if (!time || *time == lastElfTime_)
        return {};
    // Noted before asking, so one change gives one question.
    lastElfTime_ = *time;
    if (options_.autoGenerate ||
        ui_.askYesNo(elfChangedQuestion(fileNamePart(elf)), kProductName, true))
        return {FollowUp::Disassemble};
    return {};
}

// ---- start-up's own steps ----------------------------------------------

FollowUps Orchestrator::apply(const command::StoredPaths& c) {
    if (c.elf)
        options_.elfPath = *c.elf;
    if (c.listing)
        options_.listingPath = *c.listing;
    if (c.disassemblerCommand)
        options_.disassemblerCommand = *c.disassemblerCommand;
    options_.disassemblerCommand = withZeroWords(options_.disassemblerCommand);
    controls_.listingToolTip = kListingToolTip;
    if (c.outputFolder)
        options_.conversion.outputFolder = *c.outputFolder;
    return {};
}

FollowUps Orchestrator::apply(const command::NoteElfTime&) {
    lastElfTime_.clear();
    if (!options_.elfPath.empty() && env_.fileExists(options_.elfPath))
        lastElfTime_ = env_.fileModifiedText(options_.elfPath).value_or("");
    return {};
}

// Before the automatic load: a stored program that is not there is replaced
// by one found on the search path, and the user is told which.
FollowUps Orchestrator::apply(const command::OfferFoundDisassembler&) {
    changed();
    if (!disassemblerFinder_)
        return {};
    const std::optional<std::string> found = disassemblerFinder_(options_.disassemblerCommand);
    if (!found)
        return {};
    const std::string missing = options_.disassemblerCommand;
    options_.toolchain = Toolchain::None;
    options_.disassemblerCommand = withZeroWords(*found);
    report({warning(DiagnosticCode::DisassemblerSubstituted,
                    disassemblerSubstitutedText(trimBlanks(missing), *found))});
    return {};
}

} // namespace travonix
