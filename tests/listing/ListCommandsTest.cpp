#include "ListingText.h"

#include "listing/ListCommands.h"
#include "support/FakeEnvironment.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

const char* const kDisPath = "C:\\work\\prog.dis";

const std::string kListing = listingFile({
    "Disassembly of section .text:",
    "",
    "9d000000 <helper>:",
    "9d000000:\t03e00008 \tjr\tra",
    "",
    "9d000008 <main>:",
    "9d000008:\t03e00008 \tjr\tra",
    "",
    "9d000010 <__pic32_software_reset>:",
});

class ListCommands : public ::testing::Test {
  protected:
    ListCommands() {
        form.options = defaultOptions();
        form.options.DISFileName = kDisPath;
        env.files[kDisPath] = kListing;
        form.state.chkSelectAllFuncs = kUnchecked;
    }

    ScriptedServices ui;
    FakeEnvironment env;
    Form form{ui, env};
};

TEST_F(ListCommands, SelectAllSetsEveryFunctionWithoutReadingAgain) {
    form.state.funcs = {{"a", 0, false}, {"b", 1, true}, {"c", 0, false}};
    form.state.funcsCurrent = 2;
    env.files.clear(); // a re-read would now change nothing; the lists must still change

    setChkSelectAllFuncs(form, kChecked);
    EXPECT_TRUE(form.options.SelectAllFuncs);
    for (const FunctionEntry& entry : form.state.funcs)
        EXPECT_TRUE(entry.selected) << entry.name;
    EXPECT_EQ(form.state.funcsCurrent, 0);

    setChkSelectAllFuncs(form, kUnchecked);
    EXPECT_FALSE(form.options.SelectAllFuncs);
    for (const FunctionEntry& entry : form.state.funcs)
        EXPECT_FALSE(entry.selected) << entry.name;

    setChkSelectAllFuncs(form, kGrayed);
    EXPECT_TRUE(form.options.SelectAllFuncs);
}

TEST_F(ListCommands, SettingABoxToItsOwnStateRunsNothing) {
    form.state.funcs = {{"a", 0, false}};
    setChkSelectAllFuncs(form, kUnchecked);
    setChkShowMain(form, kUnchecked);
    setChkShowAllFuncs(form, kUnchecked);
    EXPECT_FALSE(form.state.funcs[0].selected);
    EXPECT_EQ(namesOf(form.state.funcs), (Texts{"a"}));
    EXPECT_TRUE(form.state.showFile.empty());
}

TEST_F(ListCommands, IncludeMainReadsAgainWithOrWithoutMain) {
    setChkShowMain(form, kChecked);
    EXPECT_TRUE(form.options.ShowMain);
    EXPECT_EQ(namesOf(form.state.funcs), (Texts{"helper", "main"}));

    setChkShowMain(form, kUnchecked);
    EXPECT_FALSE(form.options.ShowMain);
    EXPECT_EQ(namesOf(form.state.funcs), (Texts{"helper"}));
}

TEST_F(ListCommands, ShowAllFuncsReadsAgainInTheBoxsMode) {
    setChkShowAllFuncs(form, kChecked);
    EXPECT_EQ(namesOf(form.state.funcs), (Texts{"helper", "main", "__pic32_software_reset"}));
    setChkShowAllFuncs(form, kUnchecked);
    EXPECT_EQ(namesOf(form.state.funcs), (Texts{"helper"}));
}

TEST_F(ListCommands, BoxesThatReadAgainShowTheMessageWhenThereIsNoListing) {
    form.options.DISFileName.clear();
    form.state.funcs = {{"kept", 0, true}};
    setChkShowMain(form, kChecked);
    setChkShowAllFuncs(form, kChecked);
    ASSERT_EQ(ui.messages.size(), 2U);
    EXPECT_EQ(ui.messages[0].text, ui.messages[1].text);
    EXPECT_NE(ui.messages[0].text.find("No .DIS file available"), std::string::npos);
    EXPECT_EQ(namesOf(form.state.funcs), (Texts{"kept"}));
    EXPECT_TRUE(form.options.ShowMain);
}

} // namespace
} // namespace travonix::test
