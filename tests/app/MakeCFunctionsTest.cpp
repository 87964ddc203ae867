#include "AppTestDoubles.h"

#include "support/ListingBuilder.h"
#include "support/OutputModeNames.h"
#include "support/TestTexts.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

// Notes how many files had been written when each message box opened, so a
// test can tell what was written before and after the message.
class OrderedUserInterface : public ScriptedUserInterface {
  public:
    explicit OrderedUserInterface(const FakeEnvironment& env) : env_(env) {}
    std::vector<std::size_t> writesAtMessage;
    void showMessage(std::string_view text, std::string_view title) override {
        writesAtMessage.push_back(env_.writes.size());
        ScriptedUserInterface::showMessage(text, title);
    }

  private:
    const FakeEnvironment& env_;
};

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out += (i ? "\r\n" : "") + lines[i];
    return out;
}

class MakeCFunctions : public ::testing::Test {
  protected:
    FakeEnvironment env;
    OrderedUserInterface ui{env};
    FakeDisassembler disassembler{env};
    Orchestrator app{ui, env, disassembler};
    ListingBuilder listing;

    MakeCFunctions() { app.editOptions().conversion.outputFolder = "C:\\out"; }

    // Puts the built listing into the window, as a read would leave it.
    void show() {
        app.editSession().listing = listing.listing;
        app.editSession().functions = listing.functions;
    }
    void make() {
        show();
        app.makeCFunctions();
    }
    void useMerge(const std::string& name) {
        app.editOptions().conversion.mode = OutputMode::Merged;
        app.setMergedNameText(name);
    }
    void useSingleFile() { app.editOptions().conversion.mode = OutputMode::SingleFile; }

    std::string file(const std::string& path) {
        auto it = env.files.find(path);
        EXPECT_NE(it, env.files.end()) << path << " not written";
        return it == env.files.end() ? std::string() : it->second;
    }
    void expectOneMessage(const std::string& text, const std::string& title) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].title, title);
    }
    const Session& session() const { return app.session(); }
};

TEST_F(MakeCFunctions, MergedBlockFileClipboardAndReports) {
    const auto init = testWords(1, 5);
    const auto mainWords = testWords(20, 4);
    listing.function("init", init).function("main", mainWords);
    useMerge("Blk");

    make();

    const std::vector<std::string> lines = {
        "'",
        "'C:\\out\\Blk.bas",
        "",
        "'",
        stampLine("Blk"),
        "'",
        "CFunction Blk",
        "'init",
        "\t00000005",
        "\t" + wordRun(init),
        "",
        "'main",
        wordRun(slice(mainWords, 0, 3)),
        "\t" + wordRun(slice(mainWords, 3, 1)),
        "End CFunction",
    };
    EXPECT_EQ(file("C:\\out\\Blk.bas"), joinLines(lines) + "\r\n");
    std::vector<std::string> clipboardLines = lines;
    clipboardLines.erase(clipboardLines.begin() + 2);
    EXPECT_EQ(ui.clipboard, joinLines(clipboardLines));
    EXPECT_EQ(session().sizeText, ".04 KB");
    EXPECT_EQ(session().makeTimeText, "Created at 2026-12-10  09:05:07");
    expectOneMessage("Blk.bas\r\n\r\n file written to disk", "Travonix Maker");
    EXPECT_EQ(env.writes, (Texts{"C:\\out\\Blk.bas"}));
}

TEST_F(MakeCFunctions, MergedEntryOffsetIsUpperCaseHex) {
    listing.function("big_table", testWords(1, 300)).function("main", testWords(400, 2));
    useMerge("Blk");

    make();

    const std::string text = file("C:\\out\\Blk.bas");
    EXPECT_NE(text.find("'big_table\r\n\t0000012C\r\n\t"), std::string::npos);
    EXPECT_EQ(session().sizeText, "1.18 KB"); // 302 words
}

// Without main the entry word is 0, the first routine: the status line
// says which routine BASIC calls; with main it says nothing.
TEST_F(MakeCFunctions, MergedWithoutMainSaysWhichRoutineTheEntryWordPointsAt) {
    listing.function("Set_Led", testWords(1, 3)).function("blink", testWords(10, 2));
    useMerge("Blk");

    make();

    EXPECT_NE(file("C:\\out\\Blk.bas").find("CFunction Blk\r\n'Set_Led\r\n\t00000000"),
              std::string::npos);
    const std::string warning = "The merged CFunction Blk holds no main: its entry word points "
                                "at Set_Led, the first routine, so BASIC calls Set_Led (select "
                                "main, with Include main(), to start there)";
    EXPECT_EQ(ui.statusLines, (Texts{warning}));
    ASSERT_EQ(session().lastReport.size(), 1u);
    EXPECT_EQ(session().lastReport[0].function, "Set_Led");
    EXPECT_EQ(env.writes, (Texts{"C:\\out\\Blk.bas"}));
}

TEST_F(MakeCFunctions, MergedNameWithUnderscores) {
    listing.function("init", testWords(1, 2)).function("main", testWords(5, 1));
    useMerge("My_Blk");

    make();

    const std::string text = file("C:\\out\\My_Blk.bas");
    EXPECT_NE(
        text.find(stampLine("My_Blk") + "\r\n'\r\nCFunction MyBlk\r\n'init\r\n\t00000002\r\n"),
        std::string::npos);
    expectOneMessage("My_Blk.bas\r\n\r\n file written to disk", "Travonix Maker");
}

TEST_F(MakeCFunctions, OneFilePerFunction) {
    const auto a = testWords(1, 3);
    const auto b = testWords(10, 2);
    listing.function("a_1", a).function("b", b);

    make();

    const std::string blockA = blockHead("a_1", "a1") + "\t" + wordRun(a) + "\r\nEnd CFunction";
    const std::string blockB = blockHead("b", "b") + wordRun(b) + "\r\nEnd CFunction";
    EXPECT_EQ(file("C:\\out\\a_1.bas"), "'\r\n'C:\\out\\a_1.bas\r\n\r\n" + blockA + "\r\n");
    EXPECT_EQ(file("C:\\out\\b.bas"), "'\r\n'C:\\out\\b.bas\r\n\r\n" + blockB + "\r\n");
    EXPECT_EQ(ui.clipboard, "'\r\n'C:\\out\\b.bas\r\n" + blockB);
    expectOneMessage(" a_1.bas\r\n b.bas\r\n\r\n file(s) written to disk", "Travonix Maker");
    EXPECT_EQ(session().sizeText, ".02 KB");
}

TEST_F(MakeCFunctions, SingleFileWithOneFunction) {
    const auto w = testWords(1, 4);
    listing.function("solo", w);
    useSingleFile();

    make();

    const std::string block = blockHead("solo", "solo") + "\t" + wordRun(w) + "\r\nEnd CFunction";
    EXPECT_EQ(file("C:\\out\\solo.bas"),
              "'\r\n'C:\\out\\solo.bas\r\n\r\n" + block + "\r\n\r\n\r\n");
    expectOneMessage("solo.bas file written to disk - containing 1 individual functions",
                     "Travonix Maker");
}

TEST_F(MakeCFunctions, SingleFileHoldsEveryBlockInListOrder) {
    listing.function("one", testWords(1, 2))
        .function("skipped", testWords(3, 1), false, false)
        .function("two", testWords(5, 1));
    useSingleFile();

    make();

    const std::string one =
        blockHead("one", "one") + "\t" + wordRun(testWords(1, 2)) + "\r\nEnd CFunction";
    const std::string two =
        blockHead("two", "two") + wordRun(testWords(5, 1)) + "\r\nEnd CFunction";
    EXPECT_EQ(file("C:\\out\\one.bas"),
              "'\r\n'C:\\out\\one.bas\r\n\r\n" + one + "\r\n\r\n" + two + "\r\n\r\n\r\n");
    expectOneMessage("one.bas file written to disk - containing 2 individual functions",
                     "Travonix Maker");
}

class ListingCopy : public MakeCFunctions, public ::testing::WithParamInterface<OutputMode> {};

TEST_P(ListingCopy, IsWrittenAfterTheMessage) {
    app.editOptions().conversion.mode = GetParam();
    app.setMergedNameText("Blk");
    app.setKeepListingCopy(true);
    const std::vector<std::string> body = {instructionLine(0x9d000000, testWord(1)),
                                           "9d000004:\t0411fffe \tbal\t9d000000 <f>"};
    listing.functionLines("f", body).function("main", testWords(7, 1));

    make();

    EXPECT_EQ(file("C:\\out\\DisAsm.txt"),
              "9d000000 <f>:\r\n" + body[0] + "\r\n" + body[1] +
                  "     <---------------------\r\n\r\n9d000008 <main>:\r\n" +
                  instructionLine(0x9d000008, testWord(7)) + "\r\n\r\n\r\n");
    ASSERT_FALSE(env.writes.empty());
    EXPECT_EQ(env.writes.back(), "C:\\out\\DisAsm.txt");
    ASSERT_EQ(ui.writesAtMessage.size(), 1u);
    EXPECT_EQ(ui.writesAtMessage[0], env.writes.size() - 1);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, ListingCopy,
                         ::testing::Values(OutputMode::IndividualFiles, OutputMode::SingleFile,
                                           OutputMode::Merged),
                         [](const ::testing::TestParamInfo<OutputMode>& info) {
                             return outputModeName(info.param);
                         });

TEST_F(MakeCFunctions, NothingHappensWithoutAnOutputFolder) {
    listing.function("f", testWords(1, 1));
    app.editOptions().conversion.outputFolder.clear();
    app.editSession().makeTimeText = "earlier";
    // The folder comes first: a merge without a name asks nothing yet.
    useMerge("");

    make();

    expectOneMessage("No output folder specified for the CFunctions, please select a folder",
                     "Travonix");
    EXPECT_TRUE(ui.inputPrompts.empty());
    EXPECT_TRUE(env.writes.empty());
    EXPECT_EQ(session().makeTimeText, "earlier");
}

TEST_F(MakeCFunctions, MergeAsksForAMissingName) {
    listing.function("init", testWords(1, 1)).function("main", testWords(2, 1));
    useMerge("");
    ui.inputAnswers = {std::string("  Blk  ")};

    make();

    ASSERT_EQ(ui.inputPrompts.size(), 1u);
    EXPECT_EQ(ui.inputPrompts[0].text, "Enter a name for the CFunction");
    EXPECT_EQ(ui.inputPrompts[0].title, "Travonix");
    EXPECT_EQ(app.options().conversion.mergedName, "Blk");
    EXPECT_EQ(env.writes, (Texts{"C:\\out\\Blk.bas"}));
}

TEST_F(MakeCFunctions, MergeWithoutANameEndsTheRun) {
    const std::optional<std::string> refusals[] = {std::nullopt, std::string("   ")};
    for (const auto& answer : refusals) {
        SCOPED_TRACE(answer.value_or("(Cancel)"));
        ui.messages.clear();
        ui.mergedNameFocused = 0;
        listing = ListingBuilder();
        listing.function("init", testWords(1, 1));
        useMerge("");
        app.editSession().makeTimeText = "earlier";
        ui.inputAnswers = {answer};

        make();

        expectOneMessage("Enter a name for the Cfunction", "Travonix");
        EXPECT_EQ(ui.mergedNameFocused, 1);
        EXPECT_TRUE(env.writes.empty());
        EXPECT_EQ(session().makeTimeText, "earlier");
        EXPECT_EQ(app.options().conversion.mergedName, "");
    }
}

TEST_F(MakeCFunctions, NoSelectionKeepsViewAndReports) {
    listing.function("f", testWords(1, 1), false, false);
    app.editSession().generatedSource = {"old"};
    app.editSession().sizeText = "1.00 KB";
    app.editSession().makeTimeText = "earlier";

    make();

    expectOneMessage("No Functions selected for conversion", "Travonix");
    EXPECT_EQ(session().generatedSource, (Texts{"old"}));
    EXPECT_EQ(session().sizeText, "1.00 KB");
    EXPECT_EQ(session().makeTimeText, "earlier");
}

TEST_F(MakeCFunctions, JalrDeclinedWritesNothing) {
    app.setKeepListingCopy(true);
    listing.function("a", testWords(1, 2))
        .functionLines("b", {instructionLine(0x9d000008, "0040f809", "jalr\tv0")});
    app.editSession().sizeText = "1.00 KB";
    ui.yesNoAnswers = {false};

    make();

    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text, "Warning : JALR instruction found - have you set '-fPIC "
                                    "-mno-abicalls' in gcc options ?\r\nContinue ?");
    EXPECT_EQ(ui.questions[0].title, "Travonix");
    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.clipboard.has_value());
    EXPECT_EQ(session().sizeText, "1.00 KB");
    EXPECT_EQ(session().makeTimeText, "Created at 2026-12-10  09:05:07");
    EXPECT_EQ(session().generatedSource, (Texts{"a", wordRun(testWords(1, 2)), "", "b"}));
}

TEST_F(MakeCFunctions, JalrAcceptedTwiceWritesTheFile) {
    listing.functionLines("b", {instructionLine(0x9d000000, "0040f809", "jalr\tv0"),
                                instructionLine(0x9d000004, "0060f809", "jalr\tv1")});
    ui.yesNoAnswers = {true, true};

    make();

    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(file("C:\\out\\b.bas"), "'\r\n'C:\\out\\b.bas\r\n\r\n" + blockHead("b", "b") +
                                          "\t0040f809 0060f809 \r\nEnd CFunction\r\n");
}

TEST_F(MakeCFunctions, AFunctionWhoseHeaderIsGoneIsAnErrorByName) {
    listing.function("a", testWords(1, 2));
    listing.functions.push_back({"gone", false, true, 0});
    listing.function("b", testWords(10, 2));

    make();
    ASSERT_EQ(ui.statusLines.size(), 1U);
    EXPECT_NE(ui.statusLines[0].find("gone"), std::string::npos) << ui.statusLines[0];
    EXPECT_EQ(env.writes, (Texts{"C:\\out\\a.bas", "C:\\out\\b.bas"}));
    expectOneMessage(" a.bas\r\n b.bas\r\n\r\n file(s) written to disk", "Travonix Maker");

    // A merged block without it would send every later call astray.
    env.writes.clear();
    ui.messages.clear();
    ui.statusLines.clear();
    useMerge("Blk");
    make();
    EXPECT_EQ(ui.statusLines.size(), 1U);
    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MakeCFunctions, AHeaderShapedLikeAJumpIsFoundAgainAfterTheRewriting) {
    const std::string name = "a\t0c000000 \tjal\t9d000000 <b";
    env.files["C:\\work\\odd.dis"] =
        "Disassembly of section .text:\r\n\r\n9d000000 <" + name +
        ">:\r\n9d000000:\t03e00008 \tjr\tra\r\n9d000004:\t34820080 \tori\tv0,a0,0x80\r\n";
    app.editOptions().listingPath = "C:\\work\\odd.dis";
    app.editOptions().conversion.selectAll = true;
    useMerge("Blk");
    app.readListing();
    ASSERT_EQ(session().functions.size(), 1U);

    app.makeCFunctions();
    const std::string text = file("C:\\out\\Blk.bas");
    // The comment naming the routine shows its TABs escaped: a name is no
    // place for control characters in a file a user reads.
    EXPECT_NE(
        text.find("CFunction Blk\r\n'a\\x090c000000 \\x09jal\\x099d000000 <b\r\n\t00000000\r\n"
                  "\t03e00008 34820080 "),
        std::string::npos)
        << text;
}

TEST_F(MakeCFunctions, NamesThatCannotBeFilesAreRefusedAndTheOthersWritten) {
    listing.function("ok", testWords(1, 1))
        .function("..\\..\\up", testWords(2, 1))
        .function("LPT1", testWords(3, 1))
        .function("fine", testWords(4, 1));

    make();
    EXPECT_EQ(env.writes, (Texts{"C:\\out\\ok.bas", "C:\\out\\fine.bas"}));
    // The check first: no BASIC name holds a "\\" either.
    ASSERT_EQ(ui.statusLines.size(), 3U);
    EXPECT_EQ(ui.statusLines[0].rfind("..\\..\\up  9d000004  bad-name  CFunction ..\\..\\up "
                                      "holds \"\\\"",
                                      0),
              0U)
        << ui.statusLines[0];
    EXPECT_NE(ui.statusLines[1].find("..\\..\\up.bas"), std::string::npos);
    EXPECT_NE(ui.statusLines[2].find("LPT1.bas"), std::string::npos);
    expectOneMessage(" ok.bas\r\n fine.bas\r\n\r\n file(s) written to disk", "Travonix Maker");
}

TEST_F(MakeCFunctions, UnwritableFileIsReportedAndTheOthersAreWritten) {
    listing.function("a_1", testWords(1, 1)).function("b", testWords(2, 1));
    app.setKeepListingCopy(true);
    env.unwritable.insert("C:\\out\\a_1.bas");

    make();

    EXPECT_EQ(env.writes, (Texts{"C:\\out\\b.bas", "C:\\out\\DisAsm.txt"}));
    ASSERT_EQ(ui.statusLines.size(), 1u);
    EXPECT_NE(ui.statusLines[0].find("C:\\out\\a_1.bas"), std::string::npos);
    EXPECT_EQ(ui.statusLines[0].find('\n'), std::string::npos);
    EXPECT_EQ(session().statusLine, ui.statusLines[0]);
    // The message names only what reached the disk.
    expectOneMessage(" b.bas\r\n\r\n file(s) written to disk", "Travonix Maker");
}

TEST_F(MakeCFunctions, UnwritableOnlyFileLeavesTheClipboardAndClaimsNothing) {
    listing.function("solo", testWords(1, 1));
    useSingleFile();
    ui.clipboard = "before";
    env.unwritable.insert("C:\\out\\solo.bas");

    make();

    EXPECT_EQ(ui.clipboard, "before");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.statusLines.size(), 1u);
    EXPECT_EQ(session().sizeText, ".00 KB");
}

TEST_F(MakeCFunctions, AutoGenerateSuppressesOnlyTheCompletionMessage) {
    app.setAutoGenerate(true);
    listing.function("f", testWords(1, 1));

    make();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(env.writes, (Texts{"C:\\out\\f.bas"}));

    app.selectFunction(0, false);
    app.makeCFunctions();
    expectOneMessage("No Functions selected for conversion", "Travonix");

    ui.messages.clear();
    app.editOptions().conversion.outputFolder.clear();
    app.makeCFunctions();
    expectOneMessage("No output folder specified for the CFunctions, please select a folder",
                     "Travonix");
}

TEST_F(MakeCFunctions, PathsJoinFolderSeparatorAndName) {
    listing.function("f", testWords(1, 1));
    app.editOptions().conversion.outputFolder = "C:\\out\\";
    make();
    EXPECT_EQ(env.writes, (Texts{"C:\\out\\\\f.bas"}));

    env.writes.clear();
    env.separator = "/";
    app.editOptions().conversion.outputFolder = "/tmp/out";
    app.makeCFunctions();
    EXPECT_EQ(env.writes, (Texts{"/tmp/out/f.bas"}));
    EXPECT_EQ(file("/tmp/out/f.bas").substr(0, 20), "'\r\n'/tmp/out/f.bas\r\n");
}

TEST_F(MakeCFunctions, ViewIsRebuilt) {
    listing.function("f", testWords(1, 4));
    app.editSession().generatedSource = {"stale", "lines"};

    make();

    EXPECT_EQ(session().generatedSource,
              (Texts{"f", wordRun(testWords(1, 3)), wordRun(testWords(4, 1))}));
}

TEST_F(MakeCFunctions, ClipboardUnavailableStillWritesTheFile) {
    listing.function("f", testWords(1, 1));
    ui.clipboardAvailable = false;
    make();
    EXPECT_EQ(env.writes, (Texts{"C:\\out\\f.bas"}));
    EXPECT_FALSE(ui.clipboard.has_value());
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace
} // namespace travonix::test
