#include "app/Jobs.h"

#include "core/Messages.h"

#include <chrono>

namespace travonix {

namespace {

// Passes a report on when the last one is old enough: a listing arrives in
// thousands of pieces and a run writes thousands of files, and the window
// needs to hear of a few a second. The first and the last are passed on.
class Throttled {
  public:
    explicit Throttled(const JobProgress& progress) : progress_(progress) {}
    void operator()(int permille, const std::function<std::string()>& text, bool last = false) {
        if (!progress_)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (!last && told_ && now - toldAt_ < kInterval)
            return;
        told_ = true;
        toldAt_ = now;
        progress_({permille, text()});
    }

  private:
    static constexpr std::chrono::milliseconds kInterval{50};
    const JobProgress& progress_;
    bool told_ = false;
    std::chrono::steady_clock::time_point toldAt_{};
};

} // namespace

void runDisassembly(DisassemblyJob& job, ProcessRunner& runner, Environment& environment,
                    const JobProgress& progress) {
    Throttled report(progress);
    DisassembledListing done = disassembleAndRead(
        job.options, runner, environment, [&report](const ListingProgress& figures) {
            report(figures.permille(), [&figures] { return listingProgressText(figures); });
        });
    job.outcome = std::move(done.outcome);
    job.read = std::move(done.read);
}

// The jalr questions were asked before the job started; their answers are
// given back in the order the build meets the lines.
void runConversion(ConversionJob& job, FileWriter& writer, const JobProgress& progress) {
    std::size_t asked = 0;
    job.request.cancel = job.cancel;
    Throttled report(progress);
    job.request.onFileWritten = [&report](std::size_t done, std::size_t total) {
        report(
            static_cast<int>(done * 1000 / total),
            [done, total] { return writingProgressText(done, total); }, done == total);
    };
    job.result = convert(
        *job.listing, job.plan, job.request,
        [&job, &asked](const JalrLine&) {
            return asked < job.answers.size() ? job.answers[asked++] : true;
        },
        writer);
    job.request.onFileWritten = nullptr; // it told this function's reporter
}

void runJob(const Job& job, ProcessRunner& runner, Environment& environment,
            const JobProgress& progress) {
    if (const auto* disassembly = std::get_if<std::shared_ptr<DisassemblyJob>>(&job))
        runDisassembly(**disassembly, runner, environment, progress);
    else
        runConversion(*std::get<std::shared_ptr<ConversionJob>>(job), environment, progress);
}

} // namespace travonix
