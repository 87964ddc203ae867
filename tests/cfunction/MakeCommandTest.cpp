#include "cfunction/MakeCommand.h"

#include "listing/ShowDis.h"

#include "ListingBuilder.h"
#include "TestTexts.h"
#include "app/AppOptions.h"
#include "support/FakeEnvironment.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

// Records how many files had been written when each message box opened, so a
// test can tell what was written before and after the message.
class OrderedServices : public ScriptedServices {
  public:
    explicit OrderedServices(const FakeEnvironment& env) : env_(env) {}
    std::vector<std::size_t> writesAtMessage;
    void messageBox(std::string_view text, std::string_view title) override {
        writesAtMessage.push_back(env_.writes.size());
        ScriptedServices::messageBox(text, title);
    }

  private:
    const FakeEnvironment& env_;
};

class MakeCommandTest : public ::testing::Test {
  protected:
    FakeEnvironment env;
    OrderedServices ui{env};
    Form form{ui, env};
    ListingBuilder listing{form};

    void SetUp() override {
        form.options = defaultOptions();
        form.options.PluginFolderName = "C:\\out";
    }

    void useMerge(const std::string& name) {
        form.options.IndividualPluginFiles = false;
        form.options.MergePlugins = true;
        form.state.txtCFunctionName = name;
        form.options.MergeCFunctionName = name;
    }
    void useSingleFile() {
        form.options.IndividualPluginFiles = false;
        form.options.SinglePluginFile = true;
    }

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
};

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out += (i ? "\r\n" : "") + lines[i];
    return out;
}

TEST_F(MakeCommandTest, MergedBlockFileClipboardAndReports) {
    const auto init = testWords(1, 5);
    const auto mainWords = testWords(20, 4);
    listing.function("init", init).function("main", mainWords);
    useMerge("Blk");

    cmdMakeBas_Click(form);

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
    EXPECT_EQ(form.state.txtPluginSize, ".04 KB");
    EXPECT_EQ(form.state.txtPluginMakeTime, "Created at 2026-12-10  09:05:07");
    expectOneMessage("Blk.bas\r\n\r\n file written to disk", "Travonix Maker");
    EXPECT_EQ(env.writes, (std::vector<std::string>{"C:\\out\\Blk.bas"}));
}

TEST_F(MakeCommandTest, MergedEntryOffsetIsUpperCaseHex) {
    listing.function("big_table", testWords(1, 300)).function("main", testWords(400, 2));
    useMerge("Blk");

    cmdMakeBas_Click(form);

    const std::string text = file("C:\\out\\Blk.bas");
    EXPECT_NE(text.find("'big_table\r\n\t0000012C\r\n\t"), std::string::npos);
    EXPECT_EQ(form.state.txtPluginSize, "1.18 KB"); // 302 words
}

TEST_F(MakeCommandTest, MergedNameWithUnderscores) {
    listing.function("init", testWords(1, 2)).function("main", testWords(5, 1));
    useMerge("My_Blk");

    cmdMakeBas_Click(form);

    const std::string text = file("C:\\out\\My_Blk.bas");
    EXPECT_NE(
        text.find(stampLine("My_Blk") + "\r\n'\r\nCFunction MyBlk\r\n'init\r\n\t00000002\r\n"),
        std::string::npos);
    expectOneMessage("My_Blk.bas\r\n\r\n file written to disk", "Travonix Maker");
}

TEST_F(MakeCommandTest, OneFilePerFunction) {
    const auto a = testWords(1, 3);
    const auto b = testWords(10, 2);
    listing.function("a_1", a).function("b", b);

    cmdMakeBas_Click(form);

    const std::string blockA = blockHead("a_1", "a1") + "\t" + wordRun(a) + "\r\nEnd CFunction";
    const std::string blockB = blockHead("b", "b") + wordRun(b) + "\r\nEnd CFunction";
    EXPECT_EQ(file("C:\\out\\a_1.bas"), "'\r\n'C:\\out\\a_1.bas\r\n\r\n" + blockA + "\r\n");
    EXPECT_EQ(file("C:\\out\\b.bas"), "'\r\n'C:\\out\\b.bas\r\n\r\n" + blockB + "\r\n");
    EXPECT_EQ(ui.clipboard, "'\r\n'C:\\out\\b.bas\r\n" + blockB);
    expectOneMessage(" a_1.bas\r\n b.bas\r\n\r\n file(s) written to disk", "Travonix Maker");
    EXPECT_EQ(form.state.txtPluginSize, ".02 KB");
}

TEST_F(MakeCommandTest, SingleFileWithOneFunction) {
    const auto w = testWords(1, 4);
    listing.function("solo", w);
    useSingleFile();

    cmdMakeBas_Click(form);

    const std::string block = blockHead("solo", "solo") + "\t" + wordRun(w) + "\r\nEnd CFunction";
    EXPECT_EQ(file("C:\\out\\solo.bas"),
              "'\r\n'C:\\out\\solo.bas\r\n\r\n" + block + "\r\n\r\n\r\n");
    expectOneMessage("solo.bas file written to disk - containing 1 individual functions",
                     "Travonix Maker");
}

TEST_F(MakeCommandTest, SingleFileHoldsEveryBlockInListOrder) {
    listing.function("one", testWords(1, 2))
        .function("skipped", testWords(3, 1), 0, false)
        .function("two", testWords(5, 1));
    useSingleFile();

    cmdMakeBas_Click(form);

    const std::string one =
        blockHead("one", "one") + "\t" + wordRun(testWords(1, 2)) + "\r\nEnd CFunction";
    const std::string two =
        blockHead("two", "two") + wordRun(testWords(5, 1)) + "\r\nEnd CFunction";
    EXPECT_EQ(file("C:\\out\\one.bas"),
              "'\r\n'C:\\out\\one.bas\r\n\r\n" + one + "\r\n\r\n" + two + "\r\n\r\n\r\n");
    EXPECT_EQ(ui.messages.at(0).text,
              "one.bas file written to disk - containing 2 individual functions");
}

TEST_F(MakeCommandTest, ListingCopyIsWrittenAfterTheMessageInEveryMode) {
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(mode);
        listing.reset();
        env.files.clear();
        env.writes.clear();
        ui.messages.clear();
        ui.writesAtMessage.clear();
        form.options = defaultOptions();
        form.options.PluginFolderName = "C:\\out";
        form.options.SaveDisAsm = true;
        if (mode == 1)
            useSingleFile();
        if (mode == 2)
            useMerge("Blk");
        const std::vector<std::string> body = {instructionLine(0x9d000000, testWord(1)),
                                               "9d000004:\t0411fffe \tbal\t9d000000 <f>"};
        listing.functionLines("f", body).function("main", testWords(7, 1));

        cmdMakeBas_Click(form);

        EXPECT_EQ(file("C:\\out\\DisAsm.txt"),
                  "9d000000 <f>:\r\n" + body[0] + "\r\n" + body[1] +
                      "     <---------------------\r\n\r\n9d000008 <main>:\r\n" +
                      instructionLine(0x9d000008, testWord(7)) + "\r\n\r\n\r\n");
        ASSERT_FALSE(env.writes.empty());
        EXPECT_EQ(env.writes.back(), "C:\\out\\DisAsm.txt");
        ASSERT_EQ(ui.writesAtMessage.size(), 1u);
        EXPECT_EQ(ui.writesAtMessage[0], env.writes.size() - 1);
    }
}

TEST_F(MakeCommandTest, NothingHappensWithoutAnOutputFolder) {
    listing.function("f", testWords(1, 1));
    form.options.PluginFolderName.clear();
    form.state.txtPluginMakeTime = "earlier";

    cmdMakeBas_Click(form);

    expectOneMessage("No output folder specified for the CFunctions, please select a folder",
                     "Travonix");
    EXPECT_TRUE(env.writes.empty());
    EXPECT_EQ(form.state.txtPluginMakeTime, "earlier");
}

TEST_F(MakeCommandTest, MergeAsksForAMissingName) {
    listing.function("init", testWords(1, 1)).function("main", testWords(2, 1));
    useMerge("");
    ui.inputAnswers = {std::string("  Blk  ")};

    cmdMakeBas_Click(form);

    ASSERT_EQ(ui.inputPrompts.size(), 1u);
    EXPECT_EQ(ui.inputPrompts[0].text, "Enter a name for the CFunction");
    EXPECT_EQ(ui.inputPrompts[0].title, "Travonix");
    EXPECT_EQ(form.state.txtCFunctionName, "Blk");
    EXPECT_EQ(form.options.MergeCFunctionName, "Blk");
    EXPECT_EQ(env.writes, (std::vector<std::string>{"C:\\out\\Blk.bas"}));
}

TEST_F(MakeCommandTest, MergeWithoutANameEndsTheRun) {
    const std::optional<std::string> refusals[] = {std::nullopt, std::string("   ")};
    for (const auto& answer : refusals) {
        ui.messages.clear();
        ui.focused.clear();
        listing.reset();
        listing.function("init", testWords(1, 1));
        useMerge("");
        form.state.txtPluginMakeTime = "earlier";
        ui.inputAnswers = {answer};

        cmdMakeBas_Click(form);

        expectOneMessage("Enter a name for the Cfunction", "Travonix");
        EXPECT_EQ(ui.focused, (std::vector<Control>{Control::txtCFunctionName}));
        EXPECT_TRUE(env.writes.empty());
        EXPECT_EQ(form.state.txtPluginMakeTime, "earlier");
    }
}

TEST_F(MakeCommandTest, NoSelectionKeepsViewAndReports) {
    listing.function("f", testWords(1, 1), 0, false);
    form.state.pluginSrc = {"old"};
    form.state.txtPluginSize = "1.00 KB";
    form.state.txtPluginMakeTime = "earlier";

    cmdMakeBas_Click(form);

    expectOneMessage("No Functions selected for conversion", "Travonix");
    EXPECT_EQ(form.state.pluginSrc, (std::vector<std::string>{"old"}));
    EXPECT_EQ(form.state.txtPluginSize, "1.00 KB");
    EXPECT_EQ(form.state.txtPluginMakeTime, "earlier");
}

TEST_F(MakeCommandTest, JalrDeclinedWritesNothing) {
    form.options.SaveDisAsm = true;
    listing.function("a", testWords(1, 2))
        .functionLines("b", {instructionLine(0x9d000008, "0040f809", "jalr\tv0")});
    form.state.txtPluginSize = "1.00 KB";
    ui.yesNoAnswers = {false};

    cmdMakeBas_Click(form);

    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.clipboard.has_value());
    EXPECT_EQ(form.state.txtPluginSize, "1.00 KB");
    EXPECT_EQ(form.state.txtPluginMakeTime, "Created at 2026-12-10  09:05:07");
    EXPECT_EQ(form.state.pluginSrc,
              (std::vector<std::string>{"a", wordRun(testWords(1, 2)), "", "b"}));
}

TEST_F(MakeCommandTest, JalrAcceptedTwiceWritesTheFile) {
    listing.functionLines("b", {instructionLine(0x9d000000, "0040f809", "jalr\tv0"),
                                instructionLine(0x9d000004, "0060f809", "jalr\tv1")});
    ui.yesNoAnswers = {true, true};

    cmdMakeBas_Click(form);

    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(file("C:\\out\\b.bas"), "'\r\n'C:\\out\\b.bas\r\n\r\n" + blockHead("b", "b") +
                                          "\t0040f809 0060f809 \r\nEnd CFunction\r\n");
}

TEST_F(MakeCommandTest, AFunctionWhoseHeaderIsGoneIsAnErrorByName) {
    listing.function("a", testWords(1, 2));
    form.state.funcs.push_back({"gone", 0, true});
    listing.function("b", testWords(10, 2));

    cmdMakeBas_Click(form);
    ASSERT_EQ(ui.statusReports.size(), 1U);
    EXPECT_NE(ui.statusReports[0].find("gone"), std::string::npos) << ui.statusReports[0];
    EXPECT_EQ(env.writes, (std::vector<std::string>{"C:\\out\\a.bas", "C:\\out\\b.bas"}));
    expectOneMessage(" a.bas\r\n b.bas\r\n\r\n file(s) written to disk", "Travonix Maker");

    // A merged block without it would send every later call astray.
    env.writes.clear();
    ui.messages.clear();
    ui.statusReports.clear();
    useMerge("Blk");
    cmdMakeBas_Click(form);
    EXPECT_EQ(ui.statusReports.size(), 1U);
    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MakeCommandTest, AHeaderShapedLikeAJumpIsFoundAgainAfterTheRewriting) {
    const std::string name = "a\t0c000000 \tjal\t9d000000 <b";
    env.files["C:\\work\\odd.dis"] =
        "Disassembly of section .text:\r\n\r\n9d000000 <" + name +
        ">:\r\n9d000000:\t03e00008 \tjr\tra\r\n9d000004:\t34820080 \tori\tv0,a0,0x80\r\n";
    form.options.DISFileName = "C:\\work\\odd.dis";
    form.options.SelectAllFuncs = true;
    useMerge("Blk");
    cmdShowDIS_Click(form);
    ASSERT_EQ(form.state.funcs.size(), 1U);

    cmdMakeBas_Click(form);
    const std::string text = file("C:\\out\\Blk.bas");
    EXPECT_NE(text.find("CFunction Blk\r\n'" + name + "\r\n\t00000000\r\n\t03e00008 34820080 "),
              std::string::npos)
        << text;
}

TEST_F(MakeCommandTest, NamesThatCannotBeFilesAreRefusedAndTheOthersWritten) {
    listing.function("ok", testWords(1, 1))
        .function("..\\..\\up", testWords(2, 1))
        .function("LPT1", testWords(3, 1))
        .function("fine", testWords(4, 1));

    cmdMakeBas_Click(form);
    EXPECT_EQ(env.writes, (std::vector<std::string>{"C:\\out\\ok.bas", "C:\\out\\fine.bas"}));
    ASSERT_EQ(ui.statusReports.size(), 2U);
    EXPECT_NE(ui.statusReports[0].find("..\\..\\up.bas"), std::string::npos);
    EXPECT_NE(ui.statusReports[1].find("LPT1.bas"), std::string::npos);
    expectOneMessage(" ok.bas\r\n fine.bas\r\n\r\n file(s) written to disk", "Travonix Maker");
}

TEST_F(MakeCommandTest, UnwritableFileIsReportedAndTheOthersAreWritten) {
    listing.function("a_1", testWords(1, 1)).function("b", testWords(2, 1));
    form.options.SaveDisAsm = true;
    env.unwritable.insert("C:\\out\\a_1.bas");

    cmdMakeBas_Click(form);

    EXPECT_EQ(env.writes, (std::vector<std::string>{"C:\\out\\b.bas", "C:\\out\\DisAsm.txt"}));
    ASSERT_EQ(ui.statusReports.size(), 1u);
    EXPECT_NE(ui.statusReports[0].find("C:\\out\\a_1.bas"), std::string::npos);
    EXPECT_EQ(ui.statusReports[0].find('\n'), std::string::npos);
    EXPECT_EQ(form.state.statusLine, ui.statusReports[0]);
    // The message names only what reached the disk.
    expectOneMessage(" b.bas\r\n\r\n file(s) written to disk", "Travonix Maker");
}

TEST_F(MakeCommandTest, UnwritableOnlyFileLeavesTheClipboardAndClaimsNothing) {
    listing.function("solo", testWords(1, 1));
    useSingleFile();
    ui.clipboard = "before";
    env.unwritable.insert("C:\\out\\solo.bas");

    cmdMakeBas_Click(form);

    EXPECT_EQ(ui.clipboard, "before");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.statusReports.size(), 1u);
    EXPECT_EQ(form.state.txtPluginSize, ".00 KB");
}

TEST_F(MakeCommandTest, AutoGenerateSuppressesOnlyTheCompletionMessage) {
    form.state.chkAutoGeneratePlugin = kChecked;
    listing.function("f", testWords(1, 1));

    cmdMakeBas_Click(form);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(env.writes, (std::vector<std::string>{"C:\\out\\f.bas"}));

    form.state.funcs[0].selected = false;
    cmdMakeBas_Click(form);
    expectOneMessage("No Functions selected for conversion", "Travonix");
}

TEST_F(MakeCommandTest, PathsJoinFolderSeparatorAndName) {
    listing.function("f", testWords(1, 1));
    form.options.PluginFolderName = "C:\\out\\";
    cmdMakeBas_Click(form);
    EXPECT_EQ(env.writes, (std::vector<std::string>{"C:\\out\\\\f.bas"}));

    env.writes.clear();
    env.separator = "/";
    form.options.PluginFolderName = "/tmp/out";
    cmdMakeBas_Click(form);
    EXPECT_EQ(env.writes, (std::vector<std::string>{"/tmp/out/f.bas"}));
    EXPECT_EQ(file("/tmp/out/f.bas").substr(0, 20), "'\r\n'/tmp/out/f.bas\r\n");
}

TEST_F(MakeCommandTest, ViewIsRebuiltAndScrolledToTheTop) {
    listing.function("f", testWords(1, 4));
    form.state.pluginSrc = {"stale", "lines"};
    form.state.pluginSrcTop = 1;
    form.state.pluginSrcHasSelection = true;

    cmdMakeBas_Click(form);

    EXPECT_EQ(form.state.pluginSrc,
              (std::vector<std::string>{"f", wordRun(testWords(1, 3)), wordRun(testWords(4, 1))}));
    EXPECT_EQ(form.state.pluginSrcTop, 0);
    EXPECT_FALSE(form.state.pluginSrcHasSelection);
}

TEST_F(MakeCommandTest, ClipboardUnavailableStillWritesTheFile) {
    listing.function("f", testWords(1, 1));
    ui.clipboardAvailable = false;
    cmdMakeBas_Click(form);
    EXPECT_EQ(env.writes, (std::vector<std::string>{"C:\\out\\f.bas"}));
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace
} // namespace travonix::test
