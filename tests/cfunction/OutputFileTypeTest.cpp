#include "cfunction/MakeCommand.h"

#include "app/AppOptions.h"
#include "support/FakeEnvironment.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

// Two functions; "Include main()" decides whether main is listed.
const char* const kListing = "\r\nprog.elf:     file format elf32-tradlittlemips\r\n\r\n\r\n"
                             "Disassembly of section .text:\r\n\r\n"
                             "9d000000 <add>:\r\n"
                             "9d000000:\t03e00008 \tjr\tra\r\n"
                             "9d000004:\t00851021 \taddu\tv0,a0,a1\r\n\r\n"
                             "9d000008 <main>:\r\n"
                             "9d000008:\t03e00008 \tjr\tra\r\n"
                             "9d00000c:\t00000000 \tnop\r\n\r\n";

class OutputFileTypeTest : public ::testing::Test {
  protected:
    FakeEnvironment env;
    ScriptedServices ui;
    Form form{ui, env};

    void SetUp() override {
        env.files["prog.dis"] = kListing;
        form.options = defaultOptions();
        form.options.DISFileName = "prog.dis";
        form.options.PluginFolderName = "out";
        form.options.SelectAllFuncs = true;
        setCFunctionNameText(form, "Blk");
        form.state.optOutputFileType = 0;
    }

    std::vector<std::string> listed() const {
        std::vector<std::string> names;
        for (const FunctionEntry& f : form.state.funcs)
            names.push_back(f.name);
        return names;
    }
};

TEST_F(OutputFileTypeTest, MergeShowsTheNameIncludesMainAndMakesAtOnce) {
    selectOutputFileType(form, 2);

    EXPECT_TRUE(form.options.MergePlugins);
    EXPECT_FALSE(form.options.SinglePluginFile);
    EXPECT_FALSE(form.options.IndividualPluginFiles);
    EXPECT_TRUE(form.state.txtCFunctionNameVisible);
    EXPECT_EQ(form.state.chkShowMain, kChecked);
    EXPECT_EQ(listed(), (std::vector<std::string>{"add", "main"}));
    ASSERT_EQ(env.writes, (std::vector<std::string>{"out\\Blk.bas"}));
    EXPECT_NE(env.files["out\\Blk.bas"].find("'add\r\n\t00000002\r\n"), std::string::npos);
}

TEST_F(OutputFileTypeTest, SingleFileHidesTheNameAndLeavesMainOut) {
    selectOutputFileType(form, 2);
    env.writes.clear();
    ui.messages.clear();

    selectOutputFileType(form, 1);

    EXPECT_TRUE(form.options.SinglePluginFile);
    EXPECT_FALSE(form.options.MergePlugins);
    EXPECT_FALSE(form.state.txtCFunctionNameVisible);
    EXPECT_EQ(form.state.chkShowMain, kUnchecked);
    EXPECT_EQ(listed(), (std::vector<std::string>{"add"}));
    EXPECT_EQ(env.writes, (std::vector<std::string>{"out\\add.bas"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "add.bas file written to disk - containing 1 individual functions");
}

TEST_F(OutputFileTypeTest, IndividualFilesLeaveIncludeMainAsItIs) {
    form.state.optOutputFileType = 1;
    form.state.chkShowMain = kChecked;
    form.options.IndividualPluginFiles = false;
    form.state.funcs = {{"add", 0, true}};
    form.state.showFile = {{"9d000000 <add>:", false}, {"9d000000:\t03e00008 \tjr\tra", false}};

    selectOutputFileType(form, 0);

    EXPECT_TRUE(form.options.IndividualPluginFiles);
    EXPECT_EQ(form.state.chkShowMain, kChecked);
    EXPECT_EQ(env.writes, (std::vector<std::string>{"out\\add.bas"}));
}

TEST_F(OutputFileTypeTest, WhileLoadingNothingIsMade) {
    form.options.Loading = true;

    selectOutputFileType(form, 2);

    EXPECT_TRUE(form.options.MergePlugins);
    EXPECT_TRUE(form.state.txtCFunctionNameVisible);
    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(ui.messages.empty());

    form.options.Loading = false;
    selectOutputFileType(form, 0);
    EXPECT_EQ(env.writes.size(), 2u); // add.bas and main.bas, at once
}

TEST_F(OutputFileTypeTest, SelectingTheCurrentTypeRunsNothing) {
    form.state.funcs = {{"add", 0, true}};
    selectOutputFileType(form, 0);
    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(CFunctionNameTest, MergedNameFollowsTheFieldTrimmedOfBlanksOnly) {
    FakeEnvironment env;
    ScriptedServices ui;
    Form form{ui, env};
    const struct {
        const char* text;
        const char* name;
    } cases[] = {{"  Blk  ", "Blk"}, {"\tBlk ", "\tBlk"}, {"   ", ""}, {"My_Blk", "My_Blk"}};
    for (const auto& c : cases) {
        setCFunctionNameText(form, c.text);
        EXPECT_EQ(form.state.txtCFunctionName, c.text);
        EXPECT_EQ(form.options.MergeCFunctionName, c.name) << '"' << c.text << '"';
    }
    // Setting the same text again is no change and runs no handler.
    form.options.MergeCFunctionName = "kept";
    setCFunctionNameText(form, "My_Blk");
    EXPECT_EQ(form.options.MergeCFunctionName, "kept");
}

} // namespace
} // namespace travonix::test
