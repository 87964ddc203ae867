// Reading the listing and making the CFunctions.

#include "app/Orchestrator.h"

#include "app/SessionTexts.h"
#include "core/Conversion.h"
#include "core/FunctionSelection.h"
#include "core/Messages.h"
#include "core/SizeReport.h"
#include "core/Text.h"
#include "core/Version.h"

#include <utility>

namespace travonix {

namespace {

int firstOrNone(std::size_t count) {
    return count == 0 ? -1 : 0;
}

} // namespace

// ---- the listing -------------------------------------------------------

FollowUps Orchestrator::apply(const command::ReadListing&) {
    return {FollowUp::ReadListing};
}

FollowUps Orchestrator::readListingNow() {
    std::optional<ReadResult> arrived = std::exchange(arrived_, std::nullopt);
    const std::string& path = options_.listingPath;
    if (path.empty()) {
        report({message(DiagnosticCode::NoListing, kNoListingMessage)});
        return {};
    }
    if (!env_.fileExists(path))
        return {};
    // What the disassembly read as it arrived is the file's text; read with
    // other options (changed meanwhile), the file is read again.
    const ReadOptions readOptions = readOptionsOf(options_.conversion);
    if (!arrived || arrivedWith_ != readOptions) {
        // A copy, not a mapping: the next Refresh replaces the file, which
        // Windows refuses while it is mapped.
        std::optional<std::string> text = env_.readFile(path);
        if (!text) {
            report({error(DiagnosticCode::ListingNotReadable, listingNotReadableText(path))});
            return {};
        }
        arrived = travonix::readListing(std::move(*text), readOptions);
    }
    const SavedSelection saved(session_.functions);
    clearFindings();
    session_.generatedSource.clear();
    session_.makeTimeText.clear();
    LoadedListing loaded = loadListing(std::move(*arrived));
    Diagnostics diagnostics = std::move(loaded.diagnostics);
    session_.functions = std::move(loaded.functions);
    session_.listing = SharedListing(std::make_shared<const LoadedListing>(std::move(loaded)));
    session_.currentFunction = firstOrNone(session_.functions.size());
    saved.applyTo(session_.functions);
    ui_.showRunSummary(functionsFoundText(session_.functions.size()));
    report(std::move(diagnostics));
    changed();
    session_.currentListingLine = firstOrNone(session_.listing.size());
    if (options_.autoGenerate)
        return {FollowUp::Make};
    return {};
}

// ---- generation --------------------------------------------------------

FollowUps Orchestrator::apply(const command::Make&) {
    return {FollowUp::Make};
}

FollowUps Orchestrator::makeNow() {
    clearFindings();
    ConversionSettings& settings = options_.conversion;
    const LoadedListing& loaded = *session_.listing.loaded();
    ConversionPlan plan = planRun(loaded, session_.functions, settings);
    if (plan.status == ConversionPlan::Status::NeedsMergedName) {
        const std::string answer(
            trimBlanks(ui_.askText(kMergedNamePrompt, kProductName, "").value_or("")));
        if (answer.empty()) {
            ui_.showMessage(kMergedNameMissing, kProductName);
            ui_.focusMergedName();
            return {};
        }
        settings.mergedName = answer;
        changed();
        plan = planRun(loaded, session_.functions, settings);
    }
    switch (plan.status) {
    case ConversionPlan::Status::NoOutputFolder:
        ui_.showMessage(kNoOutputFolderText, kProductName);
        return {};
    case ConversionPlan::Status::NoSelection:
        ui_.showMessage(kNoSelectionText, kProductName);
        return {};
    case ConversionPlan::Status::Failed:
    case ConversionPlan::Status::NeedsMergedName:
        report(plan.diagnostics);
        return {};
    case ConversionPlan::Status::Ready:
        break;
    }
    report(plan.diagnostics);
    if (settings.positionIndependent && settings.mode != OutputMode::Merged)
        report({warning(DiagnosticCode::RelayNeedsMergedMode, kPositionIndependentMergeOnly)});
    if (std::optional<Diagnostic> entry = mergeEntryWarning(plan, settings))
        report({std::move(*entry)});

    auto job = std::make_shared<ConversionJob>();
    job->listing = session_.listing.loaded();
    job->plan = std::move(plan);
    job->request = {
        settings, Stamp{env_.now(), env_.userName()}, env_.pathSeparator(), false, false, nullptr};
    session_.generatedSource.clear();
    session_.makeTimeText =
        madeAtText(formatDate(job->request.stamp.when), formatTime(job->request.stamp.when));
    // The questions come first, in the order the build meets the lines, so
    // the build itself needs no one to answer and can run off the window's
    // thread.
    for (std::size_t k = jalrQuestionsOf(loaded, job->plan).size(); k > 0; --k) {
        const bool goOn = ui_.askYesNo(kJalrQuestion, kProductName, true);
        job->answers.push_back(goOn);
        if (!goOn)
            break;
    }
    // A small run is done at once; a large one is a job of its own.
    if (job->listing->listing.size() <= kLargeListingLines || jobOut_) {
        runConversion(*job, env_);
        return apply(command::ConversionDone{job});
    }
    return launch(std::move(job));
}

FollowUps Orchestrator::apply(const command::ConversionDone& c) {
    finishConversion(*c.job);
    return {};
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
    ui_.showRunSummary(runSummaryText(job.plan.rows.size(), result.wordCount,
                                      written.writtenNames.size(), settings.outputFolder));
    report(written.diagnostics);
    if (result.relay)
        report({warning(DiagnosticCode::RelayCost, relayReportText(*result.relay))});
    if (!result.completion.empty() && !options_.autoGenerate)
        ui_.showMessage(result.completion, completionTitle());
    report(writeListingCopy(result, job.request, env_).diagnostics);
}

} // namespace travonix
