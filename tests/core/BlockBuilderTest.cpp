#include "core/Conversion.h"
#include "support/ListingBuilder.h"
#include "support/TestTexts.h"

#include <gtest/gtest.h>

#include <deque>

namespace travonix::test {
namespace {

using Lines = std::vector<std::string>;

// The stamp the fake environment's clock and user give (see TestTexts.h).
const Stamp kStamp{{2026, 12, 10, 9, 5, 7}, "tester"};

std::string endOfBlock(const std::vector<std::string>& lastWords) {
    return wordRun(lastWords) + "\r\nEnd CFunction";
}

// One conversion of a built listing: the plan must be ready; each jalr
// question is recorded and answered from `answers`.
struct BuiltRun {
    ConversionPlan plan;
    GeneratedBlocks blocks;
    std::vector<JalrLine> asked;
};

BuiltRun build(const Listing& listing, const std::vector<FunctionEntry>& functions,
               const ConversionSettings& settings, std::deque<bool> answers = {}) {
    BuiltRun run;
    run.plan = planConversion(listing, functions, settings);
    EXPECT_EQ(run.plan.status, ConversionPlan::Status::Ready);
    run.blocks = buildBlocks(listing, run.plan, settings, kStamp, [&](const JalrLine& line) {
        run.asked.push_back(line);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected jalr question";
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    });
    EXPECT_TRUE(answers.empty()) << "questions not asked";
    return run;
}

ConversionSettings settingsFor(OutputMode mode, std::string mergedName = {}) {
    ConversionSettings settings;
    settings.mode = mode;
    settings.mergedName = std::move(mergedName);
    settings.outputFolder = "out";
    return settings;
}

BuiltRun build(const ListingBuilder& built, OutputMode mode = OutputMode::IndividualFiles,
               std::deque<bool> answers = {}) {
    return build(built.listing, built.functions, settingsFor(mode), std::move(answers));
}

TEST(BlockBuilding, TenWordFunctionGivesHeadTwoWordLinesAndEnd) {
    const auto w = testWords(1, 10);
    ListingBuilder built;
    built.function("my_func", w);

    const BuiltRun run = build(built);

    ASSERT_EQ(run.blocks.blockTexts.size(), 1U);
    EXPECT_EQ(run.blocks.blockTexts[0], blockHead("my_func", "myfunc") + "\t" +
                                            wordRun(slice(w, 0, 8)) + "\r\n\t" +
                                            endOfBlock(slice(w, 8, 2)));
    EXPECT_EQ(run.blocks.generatedSource,
              (Lines{"myfunc", wordRun(slice(w, 0, 3)), wordRun(slice(w, 3, 3)),
                     wordRun(slice(w, 6, 3)), wordRun(slice(w, 9, 1))}));
    EXPECT_EQ(run.blocks.wordCount, 10);
    EXPECT_FALSE(run.blocks.abandoned);
}

// The word count runs across the whole run: a second function's words go on
// from 10, so its lines open with a TAB only at multiples of eight.
TEST(BlockBuilding, SecondFunctionContinuesTheWordCount) {
    const auto first = testWords(1, 10);
    const auto s = testWords(100, 7);
    const struct {
        int words;
        std::string body;
    } cases[] = {
        {5, endOfBlock(slice(s, 0, 5))},
        {6, endOfBlock(slice(s, 0, 6))},
        {7, wordRun(slice(s, 0, 6)) + "\r\n\t" + endOfBlock(slice(s, 6, 1))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words);
        ListingBuilder built;
        built.function("my_func", first).function("next", slice(s, 0, c.words));

        const BuiltRun run = build(built);

        ASSERT_EQ(run.blocks.blockTexts.size(), 2U);
        EXPECT_EQ(run.blocks.blockTexts[1], blockHead("next", "next") + c.body);
        EXPECT_EQ(run.blocks.wordCount, 10 + c.words);
    }
}

TEST(BlockBuilding, SecondFunctionViewStartsAfterAnEmptyLine) {
    const auto s = testWords(100, 5);
    ListingBuilder built;
    built.function("my_func", testWords(1, 10)).function("next_fn", s);

    const BuiltRun run = build(built);

    const Lines tail(run.blocks.generatedSource.begin() + 5, run.blocks.generatedSource.end());
    EXPECT_EQ(tail, (Lines{"", "nextfn", wordRun(slice(s, 0, 3)), wordRun(slice(s, 3, 2))}));
}

TEST(BlockBuilding, BlockShapesAtTheEdges) {
    const auto eight = testWords(1, 8);
    struct Case {
        const char* what;
        std::string name;
        std::string cfunctionName;
        bool readOnlyData;
        std::vector<std::string> words;
        std::string body;
    };
    const std::vector<Case> cases = {
        {"exactly eight words: End CFunction right after the word line", "f8", "f8", false, eight,
         "\t" + endOfBlock(eight)},
        {"empty body: the entry word line, then End CFunction",
         "empty",
         "empty",
         false,
         {},
         "End CFunction"},
        {"read-only data is stamped as such", "table", "table", true, slice(eight, 0, 2),
         "\t" + endOfBlock(slice(eight, 0, 2))},
        {"underscores: kept in the stamp, removed from the CFunction name", "my_fn_2", "myfn2",
         false, slice(eight, 0, 1), "\t" + endOfBlock(slice(eight, 0, 1))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListingBuilder built;
        built.function(c.name, c.words, c.readOnlyData);

        const BuiltRun run = build(built);

        ASSERT_EQ(run.blocks.blockTexts.size(), 1U);
        EXPECT_EQ(run.blocks.blockTexts[0],
                  blockHead(c.name, c.cfunctionName, c.readOnlyData) + c.body);
        ASSERT_FALSE(run.blocks.generatedSource.empty());
        EXPECT_EQ(run.blocks.generatedSource[0], c.cfunctionName);
    }
}

TEST(BlockBuilding, WordsAreCopiedAsTextInListingOrder) {
    // Upper-case digits of rewritten branches and a short field stay as they are.
    ListingBuilder built;
    built.functionLines("f", {"9d000000:\t0411FFFF \tbal\t9d000000 <f>", "9d000004:\t1234",
                              "9d000008:\t00000000 \tnop"});

    const BuiltRun run = build(built);

    EXPECT_EQ(run.blocks.blockTexts[0],
              blockHead("f", "f") + "\t0411FFFF 1234 00000000 \r\nEnd CFunction");
}

TEST(BlockBuilding, LongLinesGiveTheirWordWithoutALeadingTab) {
    const std::string longName(90, 'x');
    // As objdump prints a call to a long symbol, and as the rewriting leaves it
    // (word followed by a TAB): both keep their one word.
    const std::string objdumpLine = "9d000000:\t0f400000 \tjal\t9d000000 <" + longName + ">";
    const std::string rewrittenLine = "9d000004:\t04110000\tbal\t9d000000 <" + longName + ">";
    ListingBuilder built;
    built.functionLines("caller", {objdumpLine, rewrittenLine, "9d000008:\t00000000 \tnop"});

    const BuiltRun run = build(built);

    EXPECT_EQ(run.blocks.blockTexts[0],
              blockHead("caller", "caller") + "0f400000 04110000 00000000 \r\nEnd CFunction");
    EXPECT_EQ(run.blocks.wordCount, 3);
}

TEST(BlockBuilding, ListingCopyMarksBalLinesButNotHeaders) {
    const Lines body = {"9d000000:\t04110003 \tbal\t9d000010 <helper>",
                        "9d000004:\t8f820000 \tlw\tv0,-32768(gp) <global_x>",
                        "9d000008:\t00000000 \tnop"};
    ListingBuilder built;
    built.functionLines("global_init", body);
    ConversionSettings settings = settingsFor(OutputMode::IndividualFiles);
    settings.keepListingCopy = true;

    const BuiltRun run = build(built.listing, built.functions, settings);

    const std::string mark = "     <---------------------";
    EXPECT_EQ(run.blocks.listingCopy, "9d000000 <global_init>:\r\n" + body[0] + mark + "\r\n" +
                                          body[1] + mark + "\r\n" + body[2] + "\r\n\r\n");
}

TEST(BlockBuilding, NoListingCopyUnlessAskedFor) {
    ListingBuilder built;
    built.function("f", testWords(1, 3));
    const BuiltRun run = build(built);
    EXPECT_TRUE(run.blocks.listingCopy.empty());
}

TEST(BlockBuilding, FunctionWhoseHeaderIsGoneIsLeftOutAndTheOthersAreBuilt) {
    ListingBuilder built;
    built.function("a", testWords(1, 3));
    built.functions.push_back({"gone", false, true, built.listing.size() + 5});
    built.function("b", testWords(10, 2));

    const BuiltRun run = build(built);

    ASSERT_EQ(run.plan.rows.size(), 2U);
    EXPECT_EQ(run.plan.rows[1].name, "b");
    ASSERT_EQ(run.plan.diagnostics.size(), 1U);
    EXPECT_EQ(run.plan.diagnostics[0].function, "gone");
    ASSERT_EQ(run.blocks.blockTexts.size(), 2U);
    EXPECT_EQ(run.blocks.wordCount, 5);
    EXPECT_EQ(run.blocks.blockTexts[1], blockHead("b", "b") + endOfBlock(testWords(10, 2)));
}

TEST(BlockBuilding, FunctionIsTakenFromItsOwnHeaderLine) {
    // "main" must not take the body of "main_loop" or "Main".
    ListingBuilder built;
    built.function("main_loop", testWords(1, 1), false, false)
        .function("Main", testWords(2, 1), false, false)
        .function("main", testWords(3, 1));

    const BuiltRun run = build(built);

    ASSERT_EQ(run.blocks.blockTexts.size(), 1U);
    EXPECT_EQ(run.blocks.blockTexts[0],
              blockHead("main", "main") + "\t" + endOfBlock({testWord(3)}));
}

TEST(BlockBuilding, FunctionPastLineHundredThousandIsConverted) {
    std::vector<std::string> big;
    for (int i = 0; i < 110000; ++i)
        big.push_back(testWord(i % 4096));
    ListingBuilder built;
    built.function("big", big, false, false).function("late", testWords(1, 3));
    ASSERT_GT(built.listing.size(), 110000U);

    const BuiltRun run = build(built);

    ASSERT_EQ(run.blocks.blockTexts.size(), 1U);
    EXPECT_EQ(run.blocks.blockTexts[0],
              blockHead("late", "late") + "\t" + endOfBlock(testWords(1, 3)));
}

TEST(BlockBuilding, BodyRunningToTheEndOfTheListingEnds) {
    ListingBuilder built;
    built.line("9d000000 <tail>:").line(instructionLine(0x9d000000, testWord(1)));
    built.functions.push_back({"tail", false, true, 0});

    const BuiltRun run = build(built);

    EXPECT_EQ(run.blocks.blockTexts[0],
              blockHead("tail", "tail") + "\t" + endOfBlock({testWord(1)}));
}

TEST(BlockBuilding, ABodyEndsAtTheNextHeaderWithoutAnEmptyLine) {
    // Headers straight after one another: each function gets its own words only.
    ListingBuilder built;
    built.line("9d000000 <a>:").line(instructionLine(0x9d000000, testWord(1)));
    built.line("9d000004 <a>:").line(instructionLine(0x9d000004, testWord(2)));
    built.line("9d000008 <b>:").line(instructionLine(0x9d000008, testWord(3)));
    built.functions = {{"a", false, true, 0}, {"a", false, true, 2}, {"b", false, true, 4}};

    const BuiltRun run = build(built);

    EXPECT_EQ(run.blocks.wordCount, 3);
    ASSERT_EQ(run.blocks.blockTexts.size(), 3U);
    EXPECT_EQ(run.blocks.blockTexts[0], blockHead("a", "a") + "\t" + endOfBlock({testWord(1)}));
    EXPECT_EQ(run.blocks.blockTexts[1], blockHead("a_2", "a2") + endOfBlock({testWord(2)}));
    EXPECT_EQ(run.blocks.blockTexts[2], blockHead("b", "b") + endOfBlock({testWord(3)}));
}

TEST(BlockBuilding, JalrAsksAtEveryLineAndYesGoesOn) {
    ListingBuilder built;
    built.functionLines("f", {"9d000000:\t0040f809 \tjalr\tv0", "9d000004:\t00000000 \tnop",
                              "9d000008:\t0060F809 \tJALR\tV1"});

    const BuiltRun run = build(built, OutputMode::IndividualFiles, {true, true});

    ASSERT_EQ(run.asked.size(), 2U);
    EXPECT_EQ(run.asked[0].function, "f");
    EXPECT_EQ(run.asked[0].address, 0x9d000000U);
    EXPECT_EQ(run.asked[1].function, "f");
    EXPECT_EQ(run.asked[1].address, 0x9d000008U);
    EXPECT_EQ(run.blocks.wordCount, 3);
    EXPECT_FALSE(run.blocks.abandoned);
    EXPECT_EQ(run.blocks.blockTexts[0],
              blockHead("f", "f") + "\t0040f809 00000000 0060F809 \r\nEnd CFunction");
}

TEST(BlockBuilding, OnlyAJalrMnemonicAsks) {
    ListingBuilder built;
    built.functionLines("f", {"9d000000:\t0f400012 \tjal\t9d000048 <do_jalr_free>",
                              "9d000004:\t0411FFFB\tbal\t9d000048 <jalr_table>",
                              "9d000008:\t0040f809 \tjalr.hb\tv0"});

    const BuiltRun run = build(built, OutputMode::IndividualFiles, {true});

    ASSERT_EQ(run.asked.size(), 1U) << "only the jalr.hb line is a register jump";
    EXPECT_EQ(run.asked[0].address, 0x9d000008U);
    EXPECT_EQ(run.blocks.wordCount, 3);
}

TEST(BlockBuilding, JalrNoAbandonsAtOnceAndNothingIsWritten) {
    ListingBuilder built;
    built.functionLines("f", {"9d000000:\t00000000 \tnop", "9d000004:\t0040f809 \tjalr\tv0",
                              "9d000008:\t00000000 \tnop"});
    built.function("g", testWords(1, 2));
    const ConversionSettings settings = settingsFor(OutputMode::IndividualFiles);

    const BuiltRun run = build(built.listing, built.functions, settings, {false});

    EXPECT_TRUE(run.blocks.abandoned);
    EXPECT_EQ(run.asked.size(), 1U);
    EXPECT_EQ(run.blocks.wordCount, 1);
    // The view keeps what was produced so far.
    EXPECT_EQ(run.blocks.generatedSource, (Lines{"f", "00000000 "}));
    GeneratedBlocks blocks = run.blocks;
    EXPECT_TRUE(basFiles(blocks, run.plan, settings, "\\").empty());
}

TEST(BlockBuilding, MergeRowsShareOneBlockWithTheEntryOffsetOfMain) {
    const auto init = testWords(1, 5);
    const auto mainWords = testWords(20, 4);
    ListingBuilder built;
    built.function("init", init).function("main", mainWords);

    const BuiltRun run =
        build(built.listing, built.functions, settingsFor(OutputMode::Merged, "Blk"));

    const std::string head = "'\r\n" + stampLine("Blk") + "\r\n'\r\nCFunction Blk\r\n'init\r\n";
    ASSERT_EQ(run.blocks.blockTexts.size(), 1U);
    EXPECT_EQ(run.blocks.blockTexts[0], head + "\t00000005\r\n\t" + wordRun(init) +
                                            "\r\n\r\n'main\r\n" + wordRun(slice(mainWords, 0, 3)) +
                                            "\r\n\t" + endOfBlock(slice(mainWords, 3, 1)));
    EXPECT_EQ(
        run.blocks.generatedSource,
        (Lines{"Blk", "'init", wordRun(slice(init, 0, 3)), wordRun(slice(init, 3, 2)), "'main",
               wordRun(slice(mainWords, 0, 3)), wordRun(slice(mainWords, 3, 1)), "'"}));
    EXPECT_EQ(run.blocks.wordCount, 9);
}

// Each routine of the merged block ends its own text with a line end, one
// without words as well: the line that names the next routine follows it.
TEST(BlockBuilding, MergedRoutineWithoutWordsStillEndsItsLine) {
    const auto a = testWords(1, 2);
    const auto b = testWords(3, 1);
    ListingBuilder built;
    built.function("a", a).function("empty", {}).function("b", b);

    const BuiltRun run =
        build(built.listing, built.functions, settingsFor(OutputMode::Merged, "Blk"));

    const std::string head = "'\r\n" + stampLine("Blk") + "\r\n'\r\nCFunction Blk\r\n'a\r\n";
    ASSERT_EQ(run.blocks.blockTexts.size(), 1U);
    EXPECT_EQ(run.blocks.blockTexts[0], head + "\t00000000\r\n\t" + wordRun(a) +
                                            "\r\n\r\n'empty\r\n\r\n\r\n'b\r\n" + endOfBlock(b));
}

TEST(BlockBuilding, MergeEntryOffsetIsZeroWhenMainComesFirstOrIsAbsent) {
    const struct {
        const char* what;
        const char* first;
        const char* second;
    } cases[] = {{"main first", "main", "helper"}, {"no main", "helper", "other"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ListingBuilder built;
        built.function(c.first, testWords(1, 4)).function(c.second, testWords(5, 3));

        const BuiltRun run =
            build(built.listing, built.functions, settingsFor(OutputMode::Merged, "Blk"));

        const std::string head = "'\r\n" + stampLine("Blk") + "\r\n'\r\nCFunction Blk\r\n'" +
                                 c.first + "\r\n\t00000000\r\n";
        ASSERT_FALSE(run.blocks.blockTexts.empty());
        EXPECT_EQ(run.blocks.blockTexts[0].substr(0, head.size()), head);
    }
}

} // namespace
} // namespace travonix::test
