#include "app/Orchestrator.h"

#include "app/SettingsStore.h"
#include "check/InstructionLine.h"
#include "core/Conversion.h"
#include "core/FunctionSelection.h"
#include "core/Paths.h"
#include "core/SizeReport.h"
#include "core/Text.h"
#include "core/Version.h"

#include <algorithm>
#include <unordered_map>

namespace travonix {

namespace {

constexpr const char* kNoListingMessage =
    "No .DIS file available, use Select .ELF to select  a .ELF file which will automatically "
    "create the required .DIS file.";
constexpr const char* kNoOutputFolderMessage =
    "No output folder specified for the CFunctions, please select a folder";
constexpr const char* kNoSelectionMessage = "No Functions selected for conversion";
constexpr const char* kListingToolTip = "Disassembly of .ELF";

int firstOrNone(std::size_t count) {
    return count == 0 ? -1 : 0;
}

std::string countOf(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "3 functions, 112 words: 3 files written to C:\out"
std::string runSummary(std::size_t functions, std::int64_t words, std::size_t files,
                       const std::string& folder) {
    return countOf(static_cast<std::int64_t>(functions), "function", "functions") + ", " +
           countOf(words, "word", "words") + ": " +
           countOf(static_cast<std::int64_t>(files), "file", "files") + " written to " + folder;
}

// The line of a finding's address in the body that starts after `header`
// (it ends as the block's body does); the header itself for a finding that
// has no address of its own.
std::size_t findingLineIn(const Listing& listing, std::size_t header,
                          const check::Finding& finding) {
    if (finding.kind == check::FindingKind::NameClash ||
        finding.kind == check::FindingKind::BadName)
        return header;
    for (std::size_t i = header + 1; i < listing.size(); ++i) {
        const std::string_view text = listing.text(i);
        if (text.empty() || isHeaderText(text))
            break;
        if (listing.address(i) == finding.address)
            return i;
    }
    return header;
}

// Where the window points for each finding: its listing line and its entry
// of the function list, found through the block row of its routine. Each
// finding is placed without a search through the rows, so a run of tens of
// thousands of functions with as many findings stays linear.
class FindingPlaces {
  public:
    FindingPlaces(const Session& session, const ConversionPlan& plan, bool merged)
        : session_(session), plan_(plan), merged_(merged) {
        // The reader lists functions in listing order; only a list in any
        // other order needs an index of its own.
        const auto byHeader = [](const FunctionEntry& a, const FunctionEntry& b) {
            return a.headerLine < b.headerLine;
        };
        if (std::is_sorted(session.functions.begin(), session.functions.end(), byHeader))
            return;
        entryByHeader_.reserve(session.functions.size());
        for (std::size_t e = 0; e < session.functions.size(); ++e)
            entryByHeader_.emplace(session.functions[e].headerLine, static_cast<int>(e));
    }

    ShownFinding placed(check::Finding finding) {
        ShownFinding shown{std::move(finding), -1, -1};
        const BlockRow* row = rowOf(shown.finding);
        if (row == nullptr)
            return shown;
        const std::size_t header = row->headerLine;
        shown.listingLine =
            static_cast<int>(findingLineIn(session_.listing, header, shown.finding));
        shown.function = entryAt(header);
        return shown;
    }

  private:
    // The block row of the routine the check found it in: a merged block's
    // routines are the plan's rows, as are the blocks of the other modes (a
    // finding about a block's name has the block's row). Else the first row
    // of the finding's name.
    const BlockRow* rowOf(const check::Finding& finding) {
        const std::size_t own = merged_ ? finding.routine : finding.block;
        if (own < plan_.rows.size() && plan_.rows[own].name == finding.function)
            return &plan_.rows[own];
        if (rowByName_.empty()) {
            rowByName_.reserve(plan_.rows.size());
            for (const BlockRow& row : plan_.rows)
                rowByName_.emplace(row.name, &row); // the first row of a name
        }
        const auto row = rowByName_.find(finding.function);
        return row == rowByName_.end() ? nullptr : row->second;
    }

    // The function list's entry of the header at `header`; -1 when none is.
    int entryAt(std::size_t header) const {
        if (!entryByHeader_.empty()) {
            const auto entry = entryByHeader_.find(header);
            return entry == entryByHeader_.end() ? -1 : entry->second;
        }
        const auto& functions = session_.functions;
        const auto it = std::lower_bound(
            functions.begin(), functions.end(), header,
            [](const FunctionEntry& f, std::size_t line) { return f.headerLine < line; });
        if (it == functions.end() || it->headerLine != header)
            return -1;
        return static_cast<int>(it - functions.begin());
    }

    const Session& session_;
    const ConversionPlan& plan_;
    bool merged_;
    std::unordered_map<std::string_view, const BlockRow*> rowByName_; // made when first needed
    std::unordered_map<std::size_t, int> entryByHeader_;
};

} // namespace

// A run announces every finding, tens of thousands in a large program: the
// text is made in one piece.
std::string findingText(const check::Finding& finding) {
    const std::string_view kind = check::findingKindName(finding.kind);
    std::string text;
    text.reserve(finding.function.size() + 12 + kind.size() + 2 + finding.sentenceSize());
    text += finding.function;
    text += "  ";
    text += check::hexAddress(finding.address);
    text += "  ";
    text += kind;
    text += "  ";
    text += finding.detail;
    text += finding.advice;
    return text;
}

Orchestrator::Orchestrator(UserInterface& ui, Environment& environment, ProcessRunner& runner)
    : ui_(ui), env_(environment), runner_(runner), options_(defaultOptions()) {}

void Orchestrator::report(const Diagnostics& diagnostics) {
    report(Diagnostics(diagnostics));
}

void Orchestrator::report(Diagnostics&& diagnostics) {
    for (Diagnostic& d : diagnostics) {
        announce(d);
        session_.lastReport.push_back(std::move(d));
    }
}

void Orchestrator::announce(const Diagnostic& d) {
    if (d.kind == Diagnostic::Kind::Message) {
        ui_.showMessage(d.text, kProductName);
        return;
    }
    session_.statusLine = d.text;
    ui_.showStatus(d.text);
}

// Findings describe the blocks of one run; a view showing them after the
// listing or the selection changed would point at the wrong lines.
void Orchestrator::clearFindings() {
    if (session_.findings.empty())
        return;
    session_.findings.clear();
    changed();
}

// ---- start-up and exit -------------------------------------------------

// The stored options go to their controls one by one; a control whose state
// changes runs its action as a click would, so the order below is the order
// in which those actions happen.
void Orchestrator::startUp(SettingsStore& store) {
    const Step step(*this);
    controls_.loading = true;
    if (auto text = store.readText(keys::kElfFileName))
        options_.elfPath = *text;
    if (auto text = store.readText(keys::kDisFileName))
        options_.listingPath = *text;
    if (auto text = store.readText(keys::kDisassemblerCommand))
        options_.disassemblerCommand = *text;
    options_.disassemblerCommand = withZeroWords(options_.disassemblerCommand);
    controls_.listingToolTip = kListingToolTip;
    if (auto text = store.readText(keys::kOutputFolder))
        options_.conversion.outputFolder = *text;
    if (auto text = store.readText(keys::kMergedName))
        setMergedNameText(*text);
    applyStoredToolchain(store);
    if (auto on = store.readBool(keys::kAutoLoadElf))
        options_.autoLoadElf = *on;
    if (auto state = store.readCheckState(keys::kShowAllFunctions); state && *state != 0)
        setShowAllFunctions(true);
    // "Select ALL funcs" is ticked when the window opens: only a stored
    // False changes it, and clears every function.
    if (auto on = store.readBool(keys::kSelectAll)) {
        options_.conversion.selectAll = *on;
        if (!*on)
            setSelectAll(false);
    }
    applyStoredOutputMode(store);
    if (auto on = store.readBool(keys::kAutoGenerate); on && *on != options_.autoGenerate)
        setAutoGenerate(*on);
    if (auto on = store.readBool(keys::kIncludeMain))
        setIncludeMain(*on);
    if (auto on = store.readBool(keys::kKeepListingCopy))
        options_.conversion.keepListingCopy = *on;
    lastElfTime_.clear();
    if (!options_.elfPath.empty() && env_.fileExists(options_.elfPath))
        lastElfTime_ = env_.fileModifiedText(options_.elfPath).value_or("");
    if (auto on = store.readBool(keys::kAutoCheck))
        options_.autoCheck = *on;
    controls_.watcherRunning = options_.autoCheck;
    controls_.loading = false;
    offerFoundDisassembler();
    changed();
    if (options_.autoLoadElf)
        refresh();
}

// MPLabX is the choice the window opens with: a stored MPLab changes it (and
// disassembles at once); MPLabX then changes it back only after that.
void Orchestrator::applyStoredToolchain(SettingsStore& store) {
    const std::optional<bool> mplab = store.readBool(keys::kMPLab);
    if (mplab && *mplab)
        selectToolchain(Toolchain::MPLab);
    const std::optional<bool> mplabx = store.readBool(keys::kMPLabX);
    if (mplabx && *mplabx) {
        if (options_.toolchain == Toolchain::MPLab)
            selectToolchain(Toolchain::MPLabX);
        else
            options_.toolchain = Toolchain::MPLabX;
    }
}

// "Single CFunc File" is the output type the window opens with; each stored
// True selects its type (and runs its action when that changes the choice).
void Orchestrator::applyStoredOutputMode(SettingsStore& store) {
    std::optional<OutputMode> shown = OutputMode::SingleFile;
    const auto apply = [&](const SettingKey& key, OutputMode mode) {
        const std::optional<bool> on = store.readBool(key);
        if (!on)
            return;
        if (*on && shown != mode) {
            shown = mode;
            selectOutputMode(mode);
        } else if (*on) {
            // Already the shown choice: no click, but the stored choice holds.
            options_.conversion.mode = mode;
        } else if (shown == mode) {
            shown.reset();
        }
    };
    apply(keys::kMerge, OutputMode::Merged);
    apply(keys::kSingleFile, OutputMode::SingleFile);
    apply(keys::kIndividualFiles, OutputMode::IndividualFiles);
}

void Orchestrator::saveAtUnload(SettingsStore& store) const {
    store.writeText(keys::kShowAllFunctions, options_.conversion.fullReading ? "1" : "0");
}

void Orchestrator::saveAtEnd(SettingsStore& store) const {
    const ConversionSettings& c = options_.conversion;
    store.writeText(keys::kElfFileName, options_.elfPath);
    store.writeText(keys::kDisFileName, options_.listingPath);
    store.writeText(keys::kOutputFolder, c.outputFolder);
    store.writeText(keys::kMergedName, c.mergedName);
    store.writeBool(keys::kSelectAll, c.selectAll);
    store.writeBool(keys::kAutoLoadElf, options_.autoLoadElf);
    store.writeBool(keys::kAutoGenerate, options_.autoGenerate);
    store.writeBool(keys::kIndividualFiles, c.mode == OutputMode::IndividualFiles);
    store.writeBool(keys::kSingleFile, c.mode == OutputMode::SingleFile);
    store.writeBool(keys::kMerge, c.mode == OutputMode::Merged);
    store.writeBool(keys::kMPLab, options_.toolchain == Toolchain::MPLab);
    store.writeBool(keys::kMPLabX, options_.toolchain == Toolchain::MPLabX);
    store.writeText(keys::kDisassemblerCommand, options_.disassemblerCommand);
    store.writeBool(keys::kIncludeMain, c.includeMain);
    store.writeBool(keys::kKeepListingCopy, c.keepListingCopy);
    store.writeBool(keys::kAutoCheck, options_.autoCheck);
}

// ---- the listing -------------------------------------------------------

void Orchestrator::readListing() {
    const Step step(*this);
    const std::string& path = options_.listingPath;
    if (path.empty()) {
        report({message(DiagnosticCode::NoListing, kNoListingMessage)});
        return;
    }
    if (!env_.fileExists(path))
        return;
    std::optional<std::string> text = env_.readFile(path);
    if (!text) {
        report({error(DiagnosticCode::ListingNotReadable,
                      "Cannot read the disassembly listing " + path)});
        return;
    }
    const SavedSelection saved(session_.functions);
    clearFindings();
    session_.generatedSource.clear();
    session_.makeTimeText.clear();
    const ConversionSettings& c = options_.conversion;
    LoadedListing loaded =
        loadListing(std::move(*text), {c.includeMain, c.selectAll, c.fullReading});
    Diagnostics diagnostics = std::move(loaded.diagnostics);
    session_.functions = std::move(loaded.functions);
    session_.listing = SharedListing(std::make_shared<const LoadedListing>(std::move(loaded)));
    session_.currentFunction = firstOrNone(session_.functions.size());
    saved.applyTo(session_.functions);
    ui_.showRunSummary(
        countOf(static_cast<std::int64_t>(session_.functions.size()), "function", "functions") +
        " found");
    report(std::move(diagnostics));
    changed();
    if (options_.autoGenerate)
        makeCFunctions();
    session_.currentListingLine = firstOrNone(session_.listing.size());
}

// Runs only when the choice changes, as a click on the box would.
void Orchestrator::setShowAllFunctions(bool on) {
    const Step step(*this);
    if (options_.conversion.fullReading == on)
        return;
    options_.conversion.fullReading = on;
    readListing();
}

void Orchestrator::setSelectAll(bool on) {
    options_.conversion.selectAll = on;
    selectAll(session_.functions, on);
    session_.currentFunction = firstOrNone(session_.functions.size());
    changed();
}

// Runs only when the choice changes, as a click on the box would.
void Orchestrator::setIncludeMain(bool on) {
    const Step step(*this);
    if (options_.conversion.includeMain == on)
        return;
    options_.conversion.includeMain = on;
    readListing();
}

void Orchestrator::selectFunction(std::size_t index, bool selected) {
    if (index < session_.functions.size())
        session_.functions[index].selected = selected;
}

// ---- generation --------------------------------------------------------

// Runs only when the choice changes, as a click on another option would.
void Orchestrator::selectOutputMode(OutputMode mode) {
    const Step step(*this);
    if (options_.conversion.mode == mode)
        return;
    options_.conversion.mode = mode;
    // A merged block's entry word points at main; single files leave it out.
    if (mode == OutputMode::SingleFile)
        setIncludeMain(false);
    else if (mode == OutputMode::Merged)
        setIncludeMain(true);
    changed();
    if (!controls_.loading)
        makeCFunctions();
}

void Orchestrator::setMergedNameText(const std::string& text) {
    options_.conversion.mergedName = std::string(trimBlanks(text));
}

void Orchestrator::makeCFunctions() {
    const Step step(*this);
    clearFindings();
    ConversionSettings& settings = options_.conversion;
    const LoadedListing& loaded = *session_.listing.loaded();
    ConversionPlan plan = planRun(loaded, session_.functions, settings);
    if (plan.status == ConversionPlan::Status::NeedsMergedName) {
        const std::string answer(trimBlanks(
            ui_.askText("Enter a name for the CFunction", kProductName, "").value_or("")));
        if (answer.empty()) {
            ui_.showMessage("Enter a name for the Cfunction", kProductName);
            ui_.focusMergedName();
            return;
        }
        setMergedNameText(answer);
        changed();
        plan = planRun(loaded, session_.functions, settings);
    }
    switch (plan.status) {
    case ConversionPlan::Status::NoOutputFolder:
        ui_.showMessage(kNoOutputFolderMessage, kProductName);
        return;
    case ConversionPlan::Status::NoSelection:
        ui_.showMessage(kNoSelectionMessage, kProductName);
        return;
    case ConversionPlan::Status::Failed:
    case ConversionPlan::Status::NeedsMergedName:
        report(plan.diagnostics);
        return;
    case ConversionPlan::Status::Ready:
        break;
    }
    report(plan.diagnostics);
    if (std::optional<Diagnostic> entry = mergeEntryWarning(plan, settings))
        report({std::move(*entry)});

    auto job = std::make_shared<ConversionJob>();
    job->listing = session_.listing.loaded();
    job->plan = std::move(plan);
    job->request = {settings, Stamp{env_.now(), env_.userName()}, env_.pathSeparator(), false,
                    false};
    session_.generatedSource.clear();
    session_.makeTimeText = "Created at " + formatDate(job->request.stamp.when) + "  " +
                            formatTime(job->request.stamp.when);
    // The questions come first, in the order the build meets the lines, so
    // the build itself needs no one to answer and can run off the window's
    // thread.
    for (const JalrLine& line : jalrQuestionsOf(loaded, job->plan)) {
        (void)line;
        const bool goOn = ui_.askYesNo(kJalrQuestion, kProductName, true);
        job->answers.push_back(goOn);
        if (!goOn)
            break;
    }
    // The run works on its own snapshot (the listing it was planned on, the
    // request, the answers) and the files: nothing of the orchestrator.
    auto work = [job, &writer = env_] { runConversion(*job, writer); };
    auto done = [this, job] { finishConversion(*job); };
    // A large run goes to the window's worker; a small one is done at once.
    if (conversionLauncher_ && !controls_.loading &&
        job->listing->listing.size() > kLargeListingLines) {
        conversionLauncher_(std::move(work), std::move(done));
        return;
    }
    work();
    done();
}

void Orchestrator::runConversion(ConversionJob& job, FileWriter& writer) {
    std::size_t asked = 0;
    job.result = convert(
        *job.listing, job.plan, job.request,
        [&job, &asked](const JalrLine&) {
            return asked < job.answers.size() ? job.answers[asked++] : true;
        },
        writer);
}

// What the user sees of a run, in the order the steps happened.
void Orchestrator::finishConversion(ConversionJob& job) {
    ConversionResult& result = job.result;
    const ConversionSettings& settings = job.request.settings;
    session_.generatedSource = std::move(result.generatedSource);
    changed();
    if (result.outcome == ConversionResult::Outcome::Abandoned)
        return;
    session_.sizeText = sizeReportText(result.wordCount);
    const WriteReport& written = result.written;
    // The clipboard takes the written file's text first, so that text is let
    // go before the findings are placed. An unavailable clipboard is no
    // failure of the run: the files are written.
    if (result.clipboardFile)
        (void)ui_.setClipboardParts(clipboardParts(*result.clipboardFile));
    result.clipboardFile.reset();
    // Checked on exactly the blocks the files got; announced before the
    // run's summary, which then stays in view. The session's findings are
    // where they are kept: the report does not hold their texts again.
    FindingPlaces places(session_, job.plan, settings.mode == OutputMode::Merged);
    session_.findings.reserve(result.findings.size());
    for (check::Finding& finding : result.findings) {
        session_.findings.push_back(places.placed(std::move(finding)));
        // On the status line as warnings, one after the other; the last
        // one stays in view.
        std::string text = findingText(session_.findings.back().finding);
        ui_.showStatus(text);
        if (&finding == &result.findings.back())
            session_.statusLine = std::move(text);
    }
    result.findings = {};
    ui_.showRunSummary(runSummary(job.plan.rows.size(), result.wordCount,
                                  written.writtenNames.size(), settings.outputFolder));
    report(written.diagnostics);
    if (!result.completion.empty() && !options_.autoGenerate)
        ui_.showMessage(result.completion, std::string(kProductName) + " Maker");
    report(writeListingCopy(result, job.request, env_).diagnostics);
}

// A caller may change the listing through it.
Session& Orchestrator::editSession() {
    return session_;
}

// ---- the disassembler --------------------------------------------------

void Orchestrator::selectToolchain(Toolchain toolchain) {
    const Step step(*this);
    options_.toolchain = toolchain;
    // The vendor's command with "-z", as a stored one gets it at start-up.
    if (toolchain == Toolchain::MPLabX)
        options_.disassemblerCommand = withZeroWords(kMPLabXCommand);
    else if (toolchain == Toolchain::MPLab)
        options_.disassemblerCommand = withZeroWords(kMPLabCommand);
    controls_.listingToolTip = kListingToolTip;
    changed();
    refresh();
}

// "Other": the command stays as it is until the user gives one.
void Orchestrator::selectOtherDisassembler() {
    options_.toolchain = Toolchain::None;
    changed();
}

void Orchestrator::setDisassemblerCommand(const std::string& command) {
    const Step step(*this);
    const std::string given(trimBlanks(command));
    if (given.empty())
        return;
    options_.toolchain = Toolchain::None;
    options_.disassemblerCommand = withZeroWords(given);
    changed();
    if (!options_.elfPath.empty())
        refresh();
}

// Before the automatic load: a stored program that is not there is replaced
// by one found on the search path, and the user is told which.
void Orchestrator::offerFoundDisassembler() {
    if (!disassemblerFinder_)
        return;
    const std::optional<std::string> found = disassemblerFinder_(options_.disassemblerCommand);
    if (!found)
        return;
    const std::string missing = options_.disassemblerCommand;
    options_.toolchain = Toolchain::None;
    options_.disassemblerCommand = withZeroWords(*found);
    report({warning(DiagnosticCode::DisassemblerSubstituted,
                    "Disassembler " + std::string(trimBlanks(missing)) + " not found; using " +
                        *found + ", found on the search path")});
    changed();
}

DisassemblyOutcome Orchestrator::runDisassembler() const {
    return disassemble(options_, runner_, env_);
}

void Orchestrator::applyDisassembly(const DisassemblyOutcome& outcome) {
    const Step step(*this);
    if (outcome.elfTime)
        lastElfTime_ = *outcome.elfTime;
    report(outcome.diagnostics);
    if (outcome.readListing)
        readListing();
}

void Orchestrator::refresh() {
    const Step step(*this);
    if (launcher_ && !controls_.loading) {
        launcher_();
        return;
    }
    applyDisassembly(runDisassembler());
}

void Orchestrator::elfChosen(const std::string& path) {
    const Step step(*this);
    if (path.empty())
        return;
    options_.elfPath = path;
    options_.listingPath = listingPathFor(path);
    // Choosing an ELF file moves the output folder to the ELF file's folder.
    options_.conversion.outputFolder = folderPart(path);
    session_.listing = SharedListing();
    session_.functions.clear();
    session_.generatedSource.clear();
    session_.findings.clear();
    options_.conversion.mergedName.clear();
    changed();
    refresh();
}

// A cancelled chooser ("") keeps the folder the user had.
void Orchestrator::outputFolderChosen(const std::string& folder) {
    if (folder.empty())
        return;
    options_.conversion.outputFolder = folder;
    changed();
}

// ---- the watcher -------------------------------------------------------

void Orchestrator::setAutoCheck(bool on) {
    if (controls_.loading)
        return;
    options_.autoCheck = on;
    controls_.watcherRunning = on;
    changed();
}

// Unticking it stops the watcher even while "AutoCheck ELF" stays ticked.
void Orchestrator::setAutoGenerate(bool on) {
    options_.autoGenerate = on;
    controls_.watcherRunning = on;
    changed();
}

void Orchestrator::watcherTick() {
    const Step step(*this);
    const std::string& elf = options_.elfPath;
    if (elf.empty() || !env_.fileExists(elf))
        return;
    const std::optional<std::string> time = env_.fileModifiedText(elf);
    if (!time || *time == lastElfTime_)
        return;
    // Noted before asking, so one change gives one question.
    lastElfTime_ = *time;
    if (options_.autoGenerate) {
        refresh();
        return;
    }
    if (ui_.askYesNo(fileNamePart(elf) + "\r\nhas changed, Reload .ELF file ?", kProductName, true))
        refresh();
}

} // namespace travonix
