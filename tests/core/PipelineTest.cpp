// The one pipeline both drivers call: what a run writes, and what it leaves
// alone, for each way a run can end.

#include "pipeline/Pipeline.h"
#include "support/FakeEnvironment.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Outcome = ConversionResult::Outcome;

ConversionRequest requestFor(OutputMode mode) {
    ConversionRequest request;
    request.settings.mode = mode;
    request.settings.mergedName = mode == OutputMode::Merged ? "Calls" : "";
    request.settings.outputFolder = "C:\\out";
    request.settings.includeMain = true;
    request.settings.keepListingCopy = true;
    request.separator = "\\";
    return request;
}

TEST(Pipeline, EachWayARunEndsWritesWhatItShouldAndNothingElse) {
    const LoadedListing loaded =
        loadListing(readWholeFile(fixturePath("calls.dis")), {true, true, false});
    ASSERT_FALSE(loaded.functions.empty());
    ASSERT_FALSE(loaded.image.sections().empty()) << "the image is read with the listing";
    const struct {
        const char* what;
        bool checkOnly, strict, goOnAfterJalr, keepClipboardText;
        Outcome outcome;
        bool writes;
    } cases[] = {
        {"written", false, false, true, true, Outcome::Written, true},
        {"written, no clipboard", false, false, true, false, Outcome::Written, true},
        {"checked only", true, false, true, true, Outcome::CheckedOnly, false},
        {"strict with findings", false, true, true, true, Outcome::Refused, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeEnvironment env;
        ConversionRequest request = requestFor(OutputMode::IndividualFiles);
        request.checkOnly = c.checkOnly;
        request.strict = c.strict;
        request.keepClipboardText = c.keepClipboardText;
        const ConversionPlan plan = planRun(loaded, loaded.functions, request.settings);
        ASSERT_EQ(plan.status, ConversionPlan::Status::Ready);
        const ConversionResult result = convert(
            loaded, plan, request, [&](const JalrLine&) { return c.goOnAfterJalr; }, env);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_FALSE(result.findings.empty()) << "calls.dis calls across blocks";
        EXPECT_EQ(!env.writes.empty(), c.writes);
        EXPECT_EQ(result.written.writtenNames.size(), c.writes ? plan.rows.size() : 0U);
        EXPECT_EQ(writeListingCopy(result, request, env).writtenNames.size(), c.writes ? 1U : 0U);
        EXPECT_EQ(result.completion.empty(), !c.writes);
        EXPECT_EQ(result.clipboardFile.has_value(), c.writes && c.keepClipboardText);
        EXPECT_EQ(result.wordCount > 0, !c.checkOnly) << "only a check builds nothing";
    }
}

// The same findings whether the check runs alone or beside the build, and
// the files a run writes are the ones the blocks it checked become.
TEST(Pipeline, TheCheckBesideTheBuildFindsWhatTheCheckAloneFinds) {
    const LoadedListing loaded =
        loadListing(readWholeFile(fixturePath("calls.dis")), {true, true, false});
    for (const OutputMode mode :
         {OutputMode::IndividualFiles, OutputMode::SingleFile, OutputMode::Merged}) {
        FakeEnvironment env;
        ConversionRequest request = requestFor(mode);
        const ConversionPlan plan = planRun(loaded, loaded.functions, request.settings);
        const ConversionResult written = convert(
            loaded, plan, request, [](const JalrLine&) { return true; }, env);
        request.checkOnly = true;
        const ConversionResult checked = convert(
            loaded, plan, request, [](const JalrLine&) { return true; }, env);
        ASSERT_EQ(written.findings.size(), checked.findings.size());
        for (std::size_t i = 0; i < written.findings.size(); ++i)
            EXPECT_EQ(written.findings[i].sentence(), checked.findings[i].sentence());
        EXPECT_EQ(written.written.writtenNames.size(),
                  mode == OutputMode::IndividualFiles ? plan.rows.size() : std::size_t{1});
    }
}

// Stands for a mapped listing file: keeps the ranges it may let go.
class RecordingHolder : public ListingText::Holder {
  public:
    void doneWith(std::size_t offset, std::size_t length) const override {
        told.emplace_back(offset, length);
    }
    mutable std::vector<std::pair<std::size_t, std::size_t>> told;
};

// Behind the build and the check a mapped listing's text may go: by the end
// of a run all of it has been let go, each byte once, and the files are the
// ones a run over text the listing owns writes.
TEST(Pipeline, ARunLetsAMappedListingGoBehindItAndWritesTheSame) {
    const std::string text = readWholeFile(fixturePath("calls.dis"));
    const ReadOptions options{true, true, false};
    const LoadedListing owned = loadListing(text, options);
    for (const OutputMode mode : {OutputMode::IndividualFiles, OutputMode::Merged}) {
        for (const bool checkOnly : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + (checkOnly ? " check" : ""));
            auto holder = std::make_shared<RecordingHolder>();
            const LoadedListing held = loadListing(ListingText(text, holder), options);
            ASSERT_TRUE(holder->told.empty()) << "loading reads it all and lets nothing go";
            ConversionRequest request = requestFor(mode);
            request.checkOnly = checkOnly;
            FakeEnvironment ownedEnv;
            FakeEnvironment heldEnv;
            const auto yes = [](const JalrLine&) { return true; };
            (void)convert(owned, planRun(owned, owned.functions, request.settings), request, yes,
                          ownedEnv);
            const ConversionResult result = convert(
                held, planRun(held, held.functions, request.settings), request, yes, heldEnv);
            EXPECT_EQ(heldEnv.files, ownedEnv.files);
            EXPECT_FALSE(result.findings.empty());
            ASSERT_FALSE(holder->told.empty());
            const Listing& listing = held.listing;
            EXPECT_EQ(holder->told.front().first, listing.line(0).textStart);
            std::size_t end = 0;
            for (const auto& [offset, length] : holder->told) {
                EXPECT_GE(offset, end) << "each byte let go once, in order";
                end = offset + length;
            }
            const ListingLine& last = listing.line(listing.size() - 1);
            EXPECT_EQ(end, std::size_t{last.textStart} + last.textLength);
        }
    }
}

TEST(Pipeline, ARunDeclinedAtAJalrQuestionWritesNothing) {
    const LoadedListing loaded =
        loadListing("Disassembly of section .text:\r\n\r\n9d000000 <f>:\r\n"
                    "9d000000:\t0320f809 \tjalr\tt9\r\n9d000004:\t00000000 \tnop\r\n\r\n",
                    {false, true, false});
    FakeEnvironment env;
    const ConversionRequest request = requestFor(OutputMode::IndividualFiles);
    const ConversionPlan plan = planRun(loaded, loaded.functions, request.settings);
    ASSERT_EQ(jalrQuestionsOf(loaded, plan).size(), 1U);
    const ConversionResult result = convert(
        loaded, plan, request, [](const JalrLine&) { return false; }, env);
    EXPECT_EQ(result.outcome, Outcome::Abandoned);
    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(result.findings.empty()) << "nothing written, nothing reported";
}

// Cancelling before the first file leaves every file as it was; cancelling
// between files leaves each one old or new, and the report says how many
// are new.
class CancellingWriter : public FileWriter {
  public:
    CancellingWriter(FileWriter& files, CancelFlag& cancel, std::size_t after)
        : files_(files), cancel_(cancel), after_(after) {}
    travonix::Outcome writeWhole(const std::string& path, std::string_view bytes) override {
        travonix::Outcome outcome = files_.writeWhole(path, bytes);
        if (++written_ == after_)
            cancel_.request();
        return outcome;
    }
    using FileWriter::writeWhole;

  private:
    FileWriter& files_;
    CancelFlag& cancel_;
    std::size_t after_;
    std::size_t written_ = 0;
};

TEST(Pipeline, ACancelledRunLeavesTheFilesItHadNotWrittenAsTheyWere) {
    const LoadedListing loaded =
        loadListing(readWholeFile(fixturePath("calls.dis")), {true, true, false});
    for (const std::size_t after : {std::size_t{0}, std::size_t{2}}) {
        SCOPED_TRACE(after);
        FakeEnvironment env;
        ConversionRequest request = requestFor(OutputMode::IndividualFiles);
        const ConversionPlan plan = planRun(loaded, loaded.functions, request.settings);
        ASSERT_GT(plan.rows.size(), 3U);
        for (const BlockRow& row : plan.rows)
            env.files["C:\\out\\" + std::string(row.name) + ".bas"] = "old";
        auto cancel = std::make_shared<CancelFlag>();
        if (after == 0)
            cancel->request();
        request.cancel = cancel;
        CancellingWriter writer(env, *cancel, after);
        const ConversionResult result = convert(
            loaded, plan, request, [](const JalrLine&) { return true; }, writer);

        EXPECT_EQ(result.outcome, Outcome::Cancelled);
        EXPECT_EQ(result.written.writtenNames.size(), after);
        std::size_t old = 0;
        for (const BlockRow& row : plan.rows)
            old += env.files["C:\\out\\" + std::string(row.name) + ".bas"] == "old" ? 1 : 0;
        EXPECT_EQ(old, plan.rows.size() - after);
        ASSERT_FALSE(result.written.diagnostics.empty());
        const std::string expected = after == 0
                                         ? "Cancelled: no file was written; every file is as it was"
                                         : "Cancelled: 2 of " + std::to_string(plan.rows.size()) +
                                               " files written; the others are as they were";
        EXPECT_EQ(result.written.diagnostics.back().text, expected);
        EXPECT_TRUE(writeListingCopy(result, request, env).writtenNames.empty())
            << "a cancelled run keeps no copy of the listing";
    }
}

// A driver hears how many of a run's files are done as they are written: each
// file once, the whole run at its end; a cancelled run tells what it did.
TEST(Pipeline, ARunTellsHowManyOfItsFilesAreDone) {
    const LoadedListing loaded =
        loadListing(readWholeFile(fixturePath("calls.dis")), {true, true, false});
    for (const bool cancelled : {false, true}) {
        SCOPED_TRACE(cancelled ? "cancelled after two files" : "every file");
        FakeEnvironment env;
        ConversionRequest request = requestFor(OutputMode::IndividualFiles);
        const ConversionPlan plan = planRun(loaded, loaded.functions, request.settings);
        const std::size_t total = plan.rows.size();
        ASSERT_GT(total, 3U);
        std::vector<std::size_t> told;
        request.onFileWritten = [&told, total](std::size_t done, std::size_t of) {
            EXPECT_EQ(of, total);
            told.push_back(done);
        };
        auto cancel = std::make_shared<CancelFlag>();
        request.cancel = cancel;
        CancellingWriter writer(env, *cancel, cancelled ? 2 : total + 1);
        (void)convert(
            loaded, plan, request, [](const JalrLine&) { return true; }, writer);

        std::vector<std::size_t> expected;
        for (std::size_t done = 1; done <= (cancelled ? 2 : total); ++done)
            expected.push_back(done);
        EXPECT_EQ(told, expected);
    }
}

// A driver that shows no generated source gets the same files without it.
TEST(Pipeline, ARunWithoutTheSourceViewWritesTheSameFiles) {
    const LoadedListing loaded =
        loadListing(readWholeFile(fixturePath("calls.dis")), {true, true, false});
    for (const OutputMode mode :
         {OutputMode::IndividualFiles, OutputMode::SingleFile, OutputMode::Merged}) {
        ConversionRequest request = requestFor(mode);
        const ConversionPlan plan = planRun(loaded, loaded.functions, request.settings);
        FakeEnvironment shown;
        const ConversionResult withView = convert(
            loaded, plan, request, [](const JalrLine&) { return true; }, shown);
        request.showSource = false;
        FakeEnvironment unshown;
        const ConversionResult without = convert(
            loaded, plan, request, [](const JalrLine&) { return true; }, unshown);
        EXPECT_FALSE(withView.generatedSource.empty());
        EXPECT_TRUE(without.generatedSource.empty());
        EXPECT_EQ(unshown.files, shown.files);
        EXPECT_EQ(without.wordCount, withView.wordCount);
    }
}

} // namespace
} // namespace travonix::test
