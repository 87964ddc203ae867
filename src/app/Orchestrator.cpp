#include "app/Orchestrator.h"

#include "app/SettingsStore.h"
#include "app/StartUpPlan.h"
#include "core/Version.h"

#include <algorithm>

namespace travonix {

namespace {

// A finished job as the command that shows its end.
Command doneCommand(const Job& job) {
    if (const auto* disassembly = std::get_if<std::shared_ptr<DisassemblyJob>>(&job))
        return command::DisassemblyDone{*disassembly};
    return command::ConversionDone{std::get<std::shared_ptr<ConversionJob>>(job)};
}

} // namespace

Orchestrator::Orchestrator(UserInterface& ui, Environment& environment, ProcessRunner& runner)
    : ui_(ui), env_(environment), runner_(runner), options_(defaultOptions()) {}

// ---- the loop ----------------------------------------------------------

void Orchestrator::perform(Command command) {
    queue_.push_back({std::move(command), false});
    runLoop();
}

// The report holds what the last action, and everything it set off, said.
void Orchestrator::runLoop() {
    if (looping_)
        return;
    looping_ = true;
    session_.lastReport.clear();
    while (!queue_.empty()) {
        Queued next = std::move(queue_.front());
        queue_.pop_front();
        jobsHere_ = next.jobsHere || !jobsElsewhere_;
        runFollowUps(std::visit([this](const auto& c) { return apply(c); }, next.command));
    }
    looping_ = false;
}

// Depth first, as the steps happen: what a follow-up sets off runs before
// the follow-ups waiting after it; one already waiting is not queued twice
// (a click that re-reads with "Auto Generate" on and then makes, makes once).
void Orchestrator::runFollowUps(FollowUps followUps) {
    std::deque<FollowUp> waiting(followUps.begin(), followUps.end());
    while (!waiting.empty()) {
        const FollowUp next = waiting.front();
        waiting.pop_front();
        FollowUps more;
        switch (next) {
        case FollowUp::ReadListing:
            more = readListingNow();
            break;
        case FollowUp::Make:
            more = makeNow();
            break;
        case FollowUp::Disassemble:
            more = disassembleNow();
            break;
        }
        for (auto it = more.rbegin(); it != more.rend(); ++it)
            if (std::find(waiting.begin(), waiting.end(), *it) == waiting.end())
                waiting.push_front(*it);
    }
}

FollowUps Orchestrator::launch(Job job) {
    if (!jobsHere_) {
        waitingJob_ = std::move(job);
        jobOut_ = true;
        return {};
    }
    runJob(job, runner_, env_);
    return std::visit([this](const auto& c) { return apply(c); }, doneCommand(job));
}

std::optional<Job> Orchestrator::takeJob() {
    std::optional<Job> job = std::move(waitingJob_);
    waitingJob_.reset();
    return job;
}

void Orchestrator::jobDone(const Job& job) {
    jobOut_ = false;
    perform(doneCommand(job));
}

// ---- reports -----------------------------------------------------------

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

// The plan runs as one action, its jobs in place so each step sees what the
// one before it read; the automatic load is then the user's Refresh.
void Orchestrator::startUp(SettingsStore& store) {
    StartUpPlan plan = planStartUp(readStoredOptions(store), options_);
    for (Command& step : plan.steps)
        queue_.push_back({std::move(step), true});
    if (plan.loadElf)
        queue_.push_back({command::Refresh{}, false});
    runLoop();
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
    store.writeBool(keys::kPositionIndependent, c.positionIndependent);
}

void Orchestrator::selectFunction(std::size_t index, bool selected) {
    if (index < session_.functions.size())
        session_.functions[index].selected = selected;
}

} // namespace travonix
