#pragma once

#include "core/Cancel.h"
#include "core/Environment.h"
#include "core/Options.h"
#include "pipeline/Pipeline.h"
#include "platform/Disassembler.h"
#include "platform/ProcessRunner.h"

#include "core/ListingProgress.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace travonix {

// Long work as values: a snapshot of what it needs in, its result out. A job
// runs on whichever thread its host gives it and touches only itself, the
// process runner and the files; what the user sees of it is shown by the
// orchestrator once the job comes back.

// The ELF file turned into the listing, with the options of the moment; the
// listing is read as objdump writes it.
struct DisassemblyJob {
    Options options;
    DisassemblyOutcome outcome;
    // The listing as read while it arrived (with options.conversion's read
    // options), when this run wrote it.
    std::optional<ReadResult> read;
};

// How far a job has come, as the window shows it: parts of a thousand done
// (-1: not known) and the words for the status line.
struct JobProgressReport {
    int permille = -1;
    std::string text;
};
// Told from the job's thread, at most every few dozen milliseconds.
using JobProgress = std::function<void(const JobProgressReport&)>;

// One make run between its questions and what the user sees of it: the
// listing it was planned on, the plan, the request and the answers to its
// jalr questions; the pipeline's result.
struct ConversionJob {
    std::shared_ptr<const LoadedListing> listing;
    ConversionPlan plan;
    ConversionRequest request;
    std::vector<bool> answers;
    ConversionResult result;
    // Asked from the window's thread; the run stops before its next file.
    std::shared_ptr<CancelFlag> cancel = std::make_shared<CancelFlag>();
};

using Job = std::variant<std::shared_ptr<DisassemblyJob>, std::shared_ptr<ConversionJob>>;

void runDisassembly(DisassemblyJob& job, ProcessRunner& runner, Environment& environment,
                    const JobProgress& progress = {});
void runConversion(ConversionJob& job, FileWriter& writer, const JobProgress& progress = {});
void runJob(const Job& job, ProcessRunner& runner, Environment& environment,
            const JobProgress& progress = {});

} // namespace travonix
