#include "app/Jobs.h"

namespace travonix {

void runDisassembly(DisassemblyJob& job, ProcessRunner& runner, Environment& environment) {
    job.outcome = disassemble(job.options, runner, environment);
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

void runJob(const Job& job, ProcessRunner& runner, Environment& environment) {
    if (const auto* disassembly = std::get_if<std::shared_ptr<DisassemblyJob>>(&job))
        runDisassembly(**disassembly, runner, environment);
    else
        runConversion(*std::get<std::shared_ptr<ConversionJob>>(job), environment);
}

} // namespace travonix
