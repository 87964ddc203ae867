#include "ListingText.h"

#include "listing/ListingReader.h"
#include "listing/ShowDis.h"
#include "support/FakeEnvironment.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

const char* const kDisPath = "C:\\work\\prog.dis";

const std::string kListing = listingFile({
    "prog.elf:     file format elf32-tradlittlemips",
    "Disassembly of section .text:",
    "",
    "9d000000 <first>:",
    "9d000000:\t0f400008 \tjal\t9d000020 <second>",
    "9d000004:\t00000000 \tnop",
    "",
    "9d000020 <second>:",
    "9d000020:\t0f4c0000 \tjal\t9d300000 <far>",
    "9d000024:\t00000000 \tnop",
    "",
    "9d000030 <main>:",
    "9d000030:\t03e00008 \tjr\tra",
});

// A file that is there but cannot be read (locked, no permission).
class UnreadableEnvironment : public FakeEnvironment {
  public:
    std::optional<std::string> readFile(const std::string&) override { return std::nullopt; }
};

class ShowDis : public ::testing::Test {
  protected:
    ShowDis() {
        form.options = defaultOptions();
        form.options.DISFileName = kDisPath;
        env.files[kDisPath] = kListing;
    }

    void givePreviousState(Form& f) {
        f.state.showFile = {{"old line", true}};
        f.state.funcs = {{"old", 0, true}};
        f.state.pluginSrc = {"CFunction old"};
        f.state.txtPluginMakeTime = "09:00:00";
    }

    static void expectPreviousState(const Form& f) {
        EXPECT_EQ(textsOf(f.state.showFile), (Texts{"old line"}));
        EXPECT_EQ(namesOf(f.state.funcs), (Texts{"old"}));
        EXPECT_EQ(f.state.pluginSrc, (Texts{"CFunction old"}));
        EXPECT_EQ(f.state.txtPluginMakeTime, "09:00:00");
    }

    ScriptedServices ui;
    FakeEnvironment env;
    Form form{ui, env};
};

TEST_F(ShowDis, ReadReplacesTheListsRewritesJumpsAndReportsTheFarOne) {
    givePreviousState(form);
    form.options.SelectAllFuncs = true;
    cmdShowDIS_Click(form);

    EXPECT_EQ(namesOf(form.state.funcs), (Texts{"first", "second"}));
    ASSERT_EQ(form.state.showFile.size(), 9U);
    EXPECT_EQ(form.state.showFile[2].text, "9d000000:\t04110007\tbal\t9d000020 <second>");
    EXPECT_TRUE(form.state.showFile[2].selected);
    EXPECT_EQ(form.state.showFile[6].text, "9d000020:\t0f4c0000 \tjal\t9d300000 <far>");
    EXPECT_FALSE(form.state.showFile[6].selected);
    EXPECT_TRUE(form.state.pluginSrc.empty());
    EXPECT_EQ(form.state.txtPluginMakeTime, "");
    EXPECT_EQ(form.state.funcsCurrent, 0);
    EXPECT_EQ(form.state.showFileCurrent, 0);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text,
              "There are 1 unconverted JAL/J instructions in the output, targets are too far away");
}

TEST_F(ShowDis, EmptyDisFileNameShowsTheMessageAndChangesNothing) {
    givePreviousState(form);
    form.options.DISFileName.clear();
    cmdShowDIS_Click(form);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text,
              "No .DIS file available, use Select .ELF to select  a .ELF file which will "
              "automatically create the required .DIS file.");
    EXPECT_EQ(ui.messages[0].title, "Travonix");
    expectPreviousState(form);
}

TEST_F(ShowDis, MissingFileChangesNothingSilently) {
    givePreviousState(form);
    env.files.clear();
    cmdShowDIS_Click(form);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.statusReports.empty());
    expectPreviousState(form);
}

TEST_F(ShowDis, UnreadableFileChangesNothingAndIsReported) {
    UnreadableEnvironment locked;
    locked.files[kDisPath] = kListing;
    Form lockedForm{ui, locked};
    lockedForm.options = form.options;
    givePreviousState(lockedForm);
    cmdShowDIS_Click(lockedForm);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.statusReports.size(), 1U);
    EXPECT_NE(ui.statusReports[0].find(kDisPath), std::string::npos);
    expectPreviousState(lockedForm);
}

TEST_F(ShowDis, SelectionIsKeptByNameAndNewFunctionsTakeSelectAll) {
    form.options.SelectAllFuncs = true;
    form.state.funcs = {{"gone", 0, false}, {"second", 0, false}};
    cmdShowDIS_Click(form);
    ASSERT_EQ(namesOf(form.state.funcs), (Texts{"first", "second"}));
    EXPECT_TRUE(form.state.funcs[0].selected);
    EXPECT_FALSE(form.state.funcs[1].selected);
}

TEST_F(ShowDis, DuplicateNamesKeepTheirStateByOccurrence) {
    const std::string twoOfOneName = listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <twice>:",
        "9d000000:\t03e00008 \tjr\tra",
        "",
        "9d000008 <twice>:",
        "9d000008:\t03e00008 \tjr\tra",
        "",
        "9d000010 <twice>:",
        "9d000010:\t03e00008 \tjr\tra",
    });
    env.files[kDisPath] = twoOfOneName;
    // The third occurrence is new: it takes the first one's state.
    form.state.funcs = {{"twice", 0, true}, {"twice", 0, false}};
    form.options.SelectAllFuncs = false;
    cmdShowDIS_Click(form);
    ASSERT_EQ(form.state.funcs.size(), 3U);
    EXPECT_TRUE(form.state.funcs[0].selected);
    EXPECT_FALSE(form.state.funcs[1].selected);
    EXPECT_TRUE(form.state.funcs[2].selected);
}

TEST_F(ShowDis, GapsBeyondTheFillerBoundAreReportedAsAWarning) {
    std::string text = "Disassembly of section .text:\r\n";
    for (unsigned k = 0; k <= 20; ++k) {
        char line[64];
        std::snprintf(line, sizeof line, "%08x:\t03e00008 \tjr\tra\r\n\t...\r\n",
                      0x9d000000u + k * 0x40004u);
        text += line;
    }
    env.files[kDisPath] = text;
    cmdShowDIS_Click(form);
    EXPECT_EQ(ui.warnings, std::vector<std::string>{fillerLimitWarning()});
    EXPECT_TRUE(ui.statusReports.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShowDis, FileWithoutWantedSectionsEmptiesTheLists) {
    givePreviousState(form);
    env.files[kDisPath] = listingFile({"prog.elf:     file format elf32-tradlittlemips"});
    cmdShowDIS_Click(form);
    EXPECT_TRUE(form.state.showFile.empty());
    EXPECT_TRUE(form.state.funcs.empty());
    EXPECT_TRUE(form.state.pluginSrc.empty());
    EXPECT_EQ(form.state.txtPluginMakeTime, "");
    EXPECT_EQ(form.state.funcsCurrent, -1);
    EXPECT_EQ(form.state.showFileCurrent, -1);
}

TEST_F(ShowDis, ShowAllFuncsBoxReadsTheWholeListing) {
    form.state.chkShowAllFuncs = kChecked;
    cmdShowDIS_Click(form);
    EXPECT_EQ(namesOf(form.state.funcs), (Texts{"first", "second", "main"}));
    EXPECT_EQ(form.state.showFile.front().text, "prog.elf:     file format elf32-tradlittlemips");
}

// Generation must see the rewritten words: the branch, not the absolute jal.
TEST_F(ShowDis, AutoGenerateRunsTheMakeCommandAfterTheRewriting) {
    form.options.PluginFolderName = "C:\\out";
    form.options.SelectAllFuncs = true;
    form.state.chkAutoGeneratePlugin = kChecked;
    cmdShowDIS_Click(form);
    ASSERT_FALSE(env.writes.empty());
    const std::string& written = env.files[env.writes.front()];
    EXPECT_NE(written.find("04110007"), std::string::npos) << written;
    EXPECT_EQ(written.find("0f400008"), std::string::npos) << written;
    EXPECT_EQ(form.state.showFileCurrent, 0);
}

TEST_F(ShowDis, WithoutAutoGenerateNothingIsWritten) {
    form.options.PluginFolderName = "C:\\out";
    form.options.SelectAllFuncs = true;
    cmdShowDIS_Click(form);
    EXPECT_TRUE(env.writes.empty());
    EXPECT_FALSE(form.state.showFile.empty());
}

} // namespace
} // namespace travonix::test
