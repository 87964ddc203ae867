#include "cfunction/BuildCFunctionBlock.h"

#include "ListingBuilder.h"
#include "TestTexts.h"
#include "support/FakeEnvironment.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

const std::string kJalrQuestion = "Warning : JALR instruction found - have you set '-fPIC "
                                  "-mno-abicalls' in gcc options ?\r\nContinue ?";

class BlockWriterTest : public ::testing::Test {
  protected:
    ScriptedServices ui;
    FakeEnvironment env;
    Form form{ui, env};
    ListingBuilder listing{form};

    // A run over the selected functions, built block by block as the make
    // command does.
    GenerationRun buildAll(bool merge = false) {
        GenerationRun run;
        run.merge = merge;
        for (const FunctionEntry& f : form.state.funcs) {
            if (f.selected)
                run.rows.push_back({f.name, f.dataMark, {}, 0, {}});
        }
        for (std::size_t k = 0; k < run.rows.size(); ++k)
            EXPECT_EQ(BuildCFunctionBlock(run, k, form), BlockOutcome::Done) << "row " << k;
        return run;
    }
};

TEST_F(BlockWriterTest, TenWordFunctionGivesHeadTwoWordLinesAndEnd) {
    const auto w = testWords(1, 10);
    listing.function("my_func", w);

    GenerationRun run = buildAll();

    EXPECT_EQ(run.rows[0].blockText, blockHead("my_func", "myfunc") + "\t" +
                                         wordRun(slice(w, 0, 8)) + "\r\n\t" +
                                         wordRun(slice(w, 8, 2)) + "\r\nEnd CFunction");
    EXPECT_EQ(form.state.pluginSrc,
              (std::vector<std::string>{"myfunc", wordRun(slice(w, 0, 3)), wordRun(slice(w, 3, 3)),
                                        wordRun(slice(w, 6, 3)), wordRun(slice(w, 9, 1))}));
    EXPECT_EQ(run.wordCounter, 10);
    EXPECT_EQ(ui.progressCalls, 1);
}

// The word counter runs across the whole run: a second function's words go
// on from 10, so its lines open with a TAB only at multiples of eight.
struct ContinuationCase {
    int words;
    std::string body; // in terms of the second function's words s1.. (filled below)
};

TEST_F(BlockWriterTest, SecondFunctionContinuesTheWordCounter) {
    const auto first = testWords(1, 10);
    const auto s = testWords(100, 7);
    const std::vector<ContinuationCase> cases = {
        {5, wordRun(slice(s, 0, 5)) + "\r\nEnd CFunction"},
        {6, wordRun(slice(s, 0, 6)) + "\r\nEnd CFunction"},
        {7, wordRun(slice(s, 0, 6)) + "\r\n\t" + wordRun(slice(s, 6, 1)) + "\r\nEnd CFunction"},
    };
    for (const ContinuationCase& c : cases) {
        SCOPED_TRACE(c.words);
        listing.reset();
        listing.function("my_func", first).function("next", slice(s, 0, c.words));

        GenerationRun run = buildAll();

        EXPECT_EQ(run.rows[1].blockText, blockHead("next", "next") + c.body);
        EXPECT_EQ(run.wordCounter, 10 + c.words);
    }
}

TEST_F(BlockWriterTest, SecondFunctionViewStartsAfterAnEmptyLine) {
    const auto first = testWords(1, 10);
    const auto s = testWords(100, 5);
    listing.function("my_func", first).function("next_fn", s);

    buildAll();

    const std::vector<std::string> tail(form.state.pluginSrc.begin() + 5,
                                        form.state.pluginSrc.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"", "nextfn", wordRun(slice(s, 0, 3)),
                                              wordRun(slice(s, 3, 2))}));
}

TEST_F(BlockWriterTest, BlockShapesAtTheEdges) {
    const auto eight = testWords(1, 8);
    struct Case {
        const char* what;
        std::string name;
        std::int32_t dataMark;
        std::vector<std::string> words;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"exactly eight words: End CFunction right after the word line", "f8", 0, eight,
         blockHead("f8", "f8") + "\t" + wordRun(eight) + "\r\nEnd CFunction"},
        {"empty body: the entry word line, then End CFunction",
         "empty",
         0,
         {},
         blockHead("empty", "empty") + "End CFunction"},
        {"read-only data is stamped as such", "table", 1, slice(eight, 0, 2),
         blockHead("table", "table", true) + "\t" + wordRun(slice(eight, 0, 2)) +
             "\r\nEnd CFunction"},
        {"underscores: kept in the stamp, removed from the CFunction name", "my_fn_2", 0,
         slice(eight, 0, 1),
         blockHead("my_fn_2", "myfn2") + "\t" + wordRun(slice(eight, 0, 1)) + "\r\nEnd CFunction"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        listing.reset();
        listing.function(c.name, c.words, c.dataMark);

        GenerationRun run = buildAll();

        EXPECT_EQ(run.rows[0].blockText, c.expected);
        ASSERT_FALSE(form.state.pluginSrc.empty());
        EXPECT_EQ(form.state.pluginSrc[0].find('_'), std::string::npos);
    }
}

TEST_F(BlockWriterTest, WordsAreCopiedAsTextInListingOrder) {
    // Upper-case digits of rewritten branches and a short field stay as they are.
    listing.functionLines("f", {"9d000000:\t0411FFFF \tbal\t9d000000 <f>", "9d000004:\t1234",
                                "9d000008:\t00000000 \tnop"});

    GenerationRun run = buildAll();

    EXPECT_EQ(run.rows[0].blockText,
              blockHead("f", "f") + "\t0411FFFF 1234 00000000 \r\nEnd CFunction");
}

TEST_F(BlockWriterTest, LongLinesGiveTheirWordWithoutALeadingTab) {
    const std::string longName(90, 'x');
    // As objdump prints a call to a long symbol, and as the rewriting leaves it
    // (word followed by a TAB): both keep their one word.
    const std::string objdumpLine = "9d000000:\t0f400000 \tjal\t9d000000 <" + longName + ">";
    const std::string rewrittenLine = "9d000004:\t04110000\tbal\t9d000000 <" + longName + ">";
    listing.functionLines("caller", {objdumpLine, rewrittenLine, "9d000008:\t00000000 \tnop"});

    GenerationRun run = buildAll();

    EXPECT_EQ(run.rows[0].blockText,
              blockHead("caller", "caller") + "0f400000 04110000 00000000 \r\nEnd CFunction");
    EXPECT_EQ(run.wordCounter, 3);
}

TEST_F(BlockWriterTest, ListingCopyMarksBalLinesButNotHeaders) {
    form.options.SaveDisAsm = true;
    const std::vector<std::string> body = {"9d000000:\t04110003 \tbal\t9d000010 <helper>",
                                           "9d000004:\t8f820000 \tlw\tv0,-32768(gp) <global_x>",
                                           "9d000008:\t00000000 \tnop"};
    listing.functionLines("global_init", body);

    GenerationRun run = buildAll();

    const std::string mark = "     <---------------------";
    EXPECT_EQ(run.listingCopy, "9d000000 <global_init>:\r\n" + body[0] + mark + "\r\n" + body[1] +
                                   mark + "\r\n" + body[2] + "\r\n\r\n");
}

TEST_F(BlockWriterTest, NoListingCopyWithoutSaveDisAsm) {
    listing.function("f", testWords(1, 3));
    GenerationRun run = buildAll();
    EXPECT_TRUE(run.listingCopy.empty());
}

TEST_F(BlockWriterTest, FunctionMissingFromTheListingProducesNothing) {
    listing.function("a", testWords(1, 3));
    form.state.funcs.push_back({"gone", 0, true});
    listing.function("b", testWords(10, 2));

    GenerationRun run = buildAll();

    EXPECT_TRUE(run.rows[1].blockText.empty());
    EXPECT_EQ(run.wordCounter, 5);
    EXPECT_EQ(run.rows[2].blockText,
              blockHead("b", "b") + wordRun(testWords(10, 2)) + "\r\nEnd CFunction");
    EXPECT_EQ(ui.progressCalls, 2);
}

TEST_F(BlockWriterTest, FunctionIsFoundByItsWholeHeaderName) {
    // "main" must not match "main_loop", nor "Main": names are compared whole and exactly.
    listing.function("main_loop", testWords(1, 1), 0, false)
        .function("Main", testWords(2, 1), 0, false)
        .function("main", testWords(3, 1));

    GenerationRun run = buildAll();

    EXPECT_EQ(run.rows[0].blockText,
              blockHead("main", "main") + "\t" + wordRun({testWord(3)}) + "\r\nEnd CFunction");
}

TEST_F(BlockWriterTest, FunctionPastLineHundredThousandIsConverted) {
    std::vector<std::string> big;
    for (int i = 0; i < 110000; ++i)
        big.push_back(testWord(i % 4096));
    listing.function("big", big, 0, false).function("late", testWords(1, 3));
    ASSERT_GT(form.state.showFile.size(), 110000u);

    GenerationRun run = buildAll();

    EXPECT_EQ(run.rows[0].blockText,
              blockHead("late", "late") + "\t" + wordRun(testWords(1, 3)) + "\r\nEnd CFunction");
}

TEST_F(BlockWriterTest, BodyRunningToTheEndOfTheListingEnds) {
    form.state.showFile.push_back({"9d000000 <tail>:", false});
    form.state.showFile.push_back({instructionLine(0x9d000000, testWord(1)), false});
    form.state.funcs.push_back({"tail", 0, true});

    GenerationRun run = buildAll();

    EXPECT_EQ(run.rows[0].blockText,
              blockHead("tail", "tail") + "\t" + wordRun({testWord(1)}) + "\r\nEnd CFunction");
}

TEST_F(BlockWriterTest, JalrAsksAtEveryLineAndYesGoesOn) {
    listing.functionLines("f", {"9d000000:\t0040f809 \tjalr\tv0", "9d000004:\t00000000 \tnop",
                                "9d000008:\t0060F809 \tJALR\tV1"});
    ui.yesNoAnswers = {true, true};

    GenerationRun run = buildAll();

    ASSERT_EQ(ui.questions.size(), 2u);
    for (const auto& q : ui.questions) {
        EXPECT_EQ(q.text, kJalrQuestion);
        EXPECT_EQ(q.title, "Travonix");
    }
    EXPECT_EQ(run.wordCounter, 3);
    EXPECT_EQ(run.rows[0].blockText,
              blockHead("f", "f") + "\t0040f809 00000000 0060F809 \r\nEnd CFunction");
}

TEST_F(BlockWriterTest, OnlyAJalrMnemonicAsks) {
    listing.functionLines("f", {"9d000000:\t0f400012 \tjal\t9d000048 <do_jalr_free>",
                                "9d000004:\t0411FFFB\tbal\t9d000048 <jalr_table>",
                                "9d000008:\t0040f809 \tjalr.hb\tv0"});
    ui.yesNoAnswers = {true};

    GenerationRun run = buildAll();

    ASSERT_EQ(ui.questions.size(), 1u) << "only the jalr.hb line is a register jump";
    EXPECT_EQ(run.wordCounter, 3);
}

TEST_F(BlockWriterTest, ABodyEndsAtTheNextHeaderWithoutAnEmptyLine) {
    // Headers straight after one another: each function gets its own words only.
    form.state.showFile = {
        {"9d000000 <a>:", false}, {instructionLine(0x9d000000, testWord(1)), false},
        {"9d000004 <a>:", false}, {instructionLine(0x9d000004, testWord(2)), false},
        {"9d000008 <b>:", false}, {instructionLine(0x9d000008, testWord(3)), false}};
    form.state.funcs = {{"a", 0, true}, {"a", 0, true}, {"b", 0, true}};
    GenerationRun run;
    run.rows = {{"a", 0, {}, 0, {}}, {"a", 0, {}, 1, {}}, {"b", 0, {}, 0, {}}};
    for (std::size_t k = 0; k < run.rows.size(); ++k)
        ASSERT_EQ(BuildCFunctionBlock(run, k, form), BlockOutcome::Done);

    EXPECT_EQ(run.wordCounter, 3);
    EXPECT_NE(run.rows[0].blockText.find(testWord(1)), std::string::npos);
    EXPECT_EQ(run.rows[0].blockText.find(testWord(2)), std::string::npos);
    EXPECT_NE(run.rows[1].blockText.find(testWord(2)), std::string::npos);
    EXPECT_EQ(run.rows[1].blockText.find(testWord(3)), std::string::npos);
}

TEST_F(BlockWriterTest, JalrNoAbandonsAtOnce) {
    form.options.SaveDisAsm = true;
    listing.functionLines("f", {"9d000000:\t00000000 \tnop", "9d000004:\t0040f809 \tjalr\tv0",
                                "9d000008:\t00000000 \tnop"});
    ui.yesNoAnswers = {false};
    GenerationRun run;
    run.rows.push_back({"f", 0, {}, 0, {}});

    EXPECT_EQ(BuildCFunctionBlock(run, 0, form), BlockOutcome::Abandoned);
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(run.wordCounter, 1);
    // The view keeps what was produced so far.
    EXPECT_EQ(form.state.pluginSrc, (std::vector<std::string>{"f", "00000000 "}));
}

TEST_F(BlockWriterTest, MergeRowsShareOneBlockWithEntryOffsetOfMain) {
    const auto init = testWords(1, 5);
    const auto mainWords = testWords(20, 4);
    listing.function("init", init).function("main", mainWords);
    form.state.txtCFunctionName = "Blk";

    GenerationRun run = buildAll(true);

    const std::string head = "'\r\n" + stampLine("Blk") + "\r\n'\r\nCFunction Blk\r\n'init\r\n";
    EXPECT_EQ(run.headLength, head.size());
    EXPECT_EQ(run.rows[0].blockText, head + "\t00000000\r\n\t" + wordRun(init) + "\r\n");
    EXPECT_EQ(run.rows[0].name, "Blk");
    EXPECT_EQ(run.rows[1].blockText, wordRun(slice(mainWords, 0, 3)) + "\r\n\t" +
                                         wordRun(slice(mainWords, 3, 1)) + "\r\nEnd CFunction");
    EXPECT_EQ(run.entryOffset, 5);
    EXPECT_EQ(form.state.pluginSrc,
              (std::vector<std::string>{
                  "Blk", "'init", wordRun(slice(init, 0, 3)), wordRun(slice(init, 3, 2)), "'main",
                  wordRun(slice(mainWords, 0, 3)), wordRun(slice(mainWords, 3, 1)), "'"}));
}

TEST_F(BlockWriterTest, MergeWithoutANameKeepsTheFirstFunctionsName) {
    listing.function("first_fn", testWords(1, 2)).function("other", testWords(5, 1));

    GenerationRun run = buildAll(true);

    EXPECT_EQ(run.rows[0].name, "first_fn");
    EXPECT_EQ(run.rows[0].blockText.substr(0, run.headLength),
              "'\r\n" + stampLine("first_fn") + "\r\n'\r\nCFunction firstfn\r\n'first_fn\r\n");
    EXPECT_EQ(run.entryOffset, 0);
}

TEST_F(BlockWriterTest, MergeEntryOffsetStaysZeroWhenMainComesFirst) {
    listing.function("main", testWords(1, 4)).function("helper", testWords(5, 3));
    form.state.txtCFunctionName = "Blk";

    GenerationRun run = buildAll(true);

    EXPECT_EQ(run.entryOffset, 0);
}

} // namespace
} // namespace travonix::test
