// Jobs sent elsewhere: the loop stops at a job, the job runs with its own
// snapshot, and its end, handed back while a box of another command is
// open, waits until that command is done.

#include "AppTestDoubles.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

const char* const kListingPath = "C:\\work\\calls.dis";
const char* const kElfPath = "C:\\work\\calls.elf";

// Hands a finished job back from inside the first box it shows, as a
// worker's end reaches the window while a box is open.
class BoxThatHandsBack : public ScriptedUserInterface {
  public:
    std::function<void()> whileOpen;
    std::vector<std::size_t> functionsWhenClosed;
    const Orchestrator* app = nullptr;

    void showMessage(std::string_view text, std::string_view title) override {
        ScriptedUserInterface::showMessage(text, title);
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
        functionsWhenClosed.push_back(app->session().functions.size());
    }
};

struct JobsElsewhere : ::testing::Test {
    JobsElsewhere() {
        env.files[kElfPath] = "\x7f"
                              "ELF";
        disassembler.listingText = readWholeFile(fixturePath("calls.dis"));
        Options& o = app.editOptions();
        o.elfPath = kElfPath;
        o.listingPath = kListingPath;
        app.sendJobsElsewhere(true);
        ui.app = &app;
    }
    FakeEnvironment env;
    BoxThatHandsBack ui;
    FakeDisassembler disassembler{env};
    Orchestrator app{ui, env, disassembler};
};

TEST_F(JobsElsewhere, ARefreshStopsAtItsJobWhichRunsOnItsOwnSnapshot) {
    app.refresh();
    EXPECT_TRUE(disassembler.commands.empty()) << "the loop does not run the job";
    EXPECT_TRUE(app.jobOut());
    std::optional<Job> job = app.takeJob();
    ASSERT_TRUE(job.has_value());
    EXPECT_FALSE(app.takeJob().has_value()) << "a job is taken once";

    // What the user changes meanwhile is not what the job works with.
    app.editOptions().elfPath = "C:\\elsewhere\\other.elf";
    runJob(*job, disassembler, env);
    ASSERT_EQ(disassembler.commands.size(), 1U);
    EXPECT_EQ(disassembler.commands[0].arguments.back(), kElfPath);
    EXPECT_TRUE(app.session().functions.empty()) << "nothing is shown before the job is back";

    app.jobDone(*job);
    EXPECT_FALSE(app.jobOut());
    EXPECT_FALSE(app.session().functions.empty()) << "the listing it wrote is read";
}

TEST_F(JobsElsewhere, AJobsEndDuringABoxWaitsUntilTheCommandIsDone) {
    app.refresh();
    std::optional<Job> job = app.takeJob();
    ASSERT_TRUE(job.has_value());
    runJob(*job, disassembler, env);

    // "Show ALL funcs" re-reads; with no listing yet that shows a box.
    app.editOptions().listingPath.clear();
    ui.whileOpen = [&] {
        app.editOptions().listingPath = kListingPath;
        app.jobDone(*job);
    };
    app.setShowAllFunctions(true);
    ASSERT_EQ(ui.functionsWhenClosed.size(), 1U);
    EXPECT_EQ(ui.functionsWhenClosed[0], 0U) << "the job's end did not run inside the box";
    EXPECT_FALSE(app.session().functions.empty()) << "it ran once the command was done";
    EXPECT_FALSE(app.busy());
}

// The job reads the listing as objdump writes it; the read that follows its
// end takes that instead of reading the file again, unless the read options
// changed meanwhile. (The file here is changed behind the job's back to tell
// the two apart.)
TEST_F(JobsElsewhere, TheReadAfterTheJobTakesWhatTheJobReadWithTheSameOptions) {
    const std::string other = readWholeFile(fixturePath("gaps.dis"));
    for (const bool optionsChanged : {false, true}) {
        SCOPED_TRACE(optionsChanged ? "read options changed" : "same read options");
        app.refresh();
        std::optional<Job> job = app.takeJob();
        ASSERT_TRUE(job.has_value());
        runJob(*job, disassembler, env);
        const auto& ran = *std::get<std::shared_ptr<DisassemblyJob>>(*job);
        ASSERT_TRUE(ran.read.has_value());
        const std::size_t readByTheJob = ran.read->functions.size();
        ASSERT_GT(readByTheJob, 0U);
        env.files[kListingPath] = other;
        if (optionsChanged)
            app.editOptions().conversion.selectAll = !app.options().conversion.selectAll;
        app.jobDone(*job);
        const std::size_t inTheFile =
            readListing(other, readOptionsOf(app.options().conversion)).functions.size();
        ASSERT_NE(inTheFile, readByTheJob);
        EXPECT_EQ(app.session().functions.size(), optionsChanged ? inTheFile : readByTheJob);
    }
}

} // namespace
} // namespace travonix::test
