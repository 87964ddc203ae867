#include "app/Jobs.h"

#include "core/ListingFeed.h"

namespace travonix {

void runDisassembly(DisassemblyJob& job, ProcessRunner& runner, Environment& environment,
                    const JobProgress& progress) {
    const std::uint64_t expected =
        expectedListingBytes(environment, job.options.elfPath).value_or(0);
    ListingFeed feed(readOptionsOf(job.options.conversion), expected);
    job.outcome = disassemble(job.options, runner, environment, [&](std::string_view piece) {
        feed.append(piece);
        if (progress)
            progress({feed.bytesReceived(), expected, feed.functionsRead()});
    });
    if (job.outcome.fresh)
        job.read = feed.finish();
}

// The jalr questions were asked before the job started; their answers are
// given back in the order the build meets the lines.
void runConversion(ConversionJob& job, FileWriter& writer) {
    std::size_t asked = 0;
    job.request.cancel = job.cancel;
    job.result = convert(
        *job.listing, job.plan, job.request,
        [&job, &asked](const JalrLine&) {
            return asked < job.answers.size() ? job.answers[asked++] : true;
        },
        writer);
}

void runJob(const Job& job, ProcessRunner& runner, Environment& environment,
            const JobProgress& progress) {
    if (const auto* disassembly = std::get_if<std::shared_ptr<DisassemblyJob>>(&job))
        runDisassembly(**disassembly, runner, environment, progress);
    else
        runConversion(*std::get<std::shared_ptr<ConversionJob>>(job), environment);
}

} // namespace travonix
