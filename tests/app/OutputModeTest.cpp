#include "AppTestDoubles.h"

#include "support/Fixtures.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

// Two functions; "Include main()" decides whether main is listed.
const char* const kListing = "\r\nprog.elf:     file format elf32-tradlittlemips\r\n\r\n\r\n"
                             "Disassembly of section .text:\r\n\r\n"
                             "9d000000 <add>:\r\n"
                             "9d000000:\t03e00008 \tjr\tra\r\n"
                             "9d000004:\t00851021 \taddu\tv0,a0,a1\r\n\r\n"
                             "9d000008 <main>:\r\n"
                             "9d000008:\t03e00008 \tjr\tra\r\n"
                             "9d00000c:\t00000000 \tnop\r\n\r\n";

class OutputModeSwitch : public ::testing::Test, public AppUnderTest {
  protected:
    OutputModeSwitch() {
        env.files["prog.dis"] = kListing;
        Options& o = app.editOptions();
        o.listingPath = "prog.dis";
        o.conversion.outputFolder = "out";
        o.conversion.selectAll = true;
        app.setMergedNameText("Blk");
    }
};

TEST_F(OutputModeSwitch, MergeIncludesMainAndMakesAtOnce) {
    app.selectOutputMode(OutputMode::Merged);

    EXPECT_EQ(app.options().conversion.mode, OutputMode::Merged);
    EXPECT_TRUE(app.options().conversion.includeMain);
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"add", "main"}));
    ASSERT_EQ(env.writes, (Texts{"out\\Blk.bas"}));
    EXPECT_NE(env.files["out\\Blk.bas"].find("'add\r\n\t00000002\r\n"), std::string::npos);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Blk.bas\r\n\r\n file written to disk");
}

TEST_F(OutputModeSwitch, SingleFileLeavesMainOut) {
    app.selectOutputMode(OutputMode::Merged);
    env.writes.clear();
    ui.messages.clear();

    app.selectOutputMode(OutputMode::SingleFile);

    EXPECT_EQ(app.options().conversion.mode, OutputMode::SingleFile);
    EXPECT_FALSE(app.options().conversion.includeMain);
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"add"}));
    EXPECT_EQ(env.writes, (Texts{"out\\add.bas"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "add.bas file written to disk - containing 1 individual functions");
    EXPECT_EQ(ui.messages[0].title, "Travonix Maker");
}

TEST_F(OutputModeSwitch, IndividualFilesLeaveIncludeMainAsItIs) {
    app.editOptions().conversion.mode = OutputMode::SingleFile;
    app.setIncludeMain(true);
    ASSERT_EQ(namesOf(app.session().functions), (Texts{"add", "main"}));

    app.selectOutputMode(OutputMode::IndividualFiles);

    EXPECT_EQ(app.options().conversion.mode, OutputMode::IndividualFiles);
    EXPECT_TRUE(app.options().conversion.includeMain);
    EXPECT_EQ(env.writes, (Texts{"out\\add.bas", "out\\main.bas"}));
}

TEST_F(OutputModeSwitch, SelectingTheCurrentTypeRunsNothing) {
    app.readListing();
    ASSERT_EQ(app.options().conversion.mode, OutputMode::IndividualFiles);
    app.selectOutputMode(OutputMode::IndividualFiles);
    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(ui.messages.empty());
}

// The whole chain of one click: the type ticks "Include main()", whose
// handler reads the listing again, and only then is the merged block made,
// from the new reading that holds main.
TEST_F(OutputModeSwitch, CascadeReadsAgainBeforeItGenerates) {
    app.readListing();
    ASSERT_EQ(namesOf(app.session().functions), (Texts{"add"}));
    app.editSession().functions[0].selected = false; // a re-read keeps this choice

    app.selectOutputMode(OutputMode::Merged);

    ASSERT_EQ(namesOf(app.session().functions), (Texts{"add", "main"}));
    EXPECT_FALSE(app.session().functions[0].selected);
    ASSERT_EQ(env.writes, (Texts{"out\\Blk.bas"}));
    const std::string& text = env.files["out\\Blk.bas"];
    EXPECT_NE(text.find("'main\r\n\t00000000\r\n\t03e00008 00000000 "), std::string::npos) << text;
    EXPECT_EQ(text.find("00851021"), std::string::npos) << text;
}

// With "Auto Generate" the re-read would generate and the type's own run
// again: one click makes the merged file once, without a message.
TEST_F(OutputModeSwitch, CascadeWithAutoGenerateWritesOnceSilently) {
    app.setAutoGenerate(true);
    app.selectOutputMode(OutputMode::Merged);
    EXPECT_EQ(env.writes, (Texts{"out\\Blk.bas"}));
    EXPECT_TRUE(ui.messages.empty());
}

// Start-up restores the type without making anything; a later choice makes
// at once.
TEST_F(OutputModeSwitch, NothingIsMadeWhileLoading) {
    TempDir dir;
    {
        SettingsStore store = SettingsStore::atFile(dir.file("Travonix.ini"));
        store.writeText(keys::kDisFileName, "prog.dis");
        store.writeText(keys::kOutputFolder, "out");
        store.writeText(keys::kMergedName, "Blk");
        store.writeBool(keys::kSelectAll, true);
        store.writeBool(keys::kMerge, true);
        store.writeBool(keys::kIndividualFiles, false);
        store.writeBool(keys::kIncludeMain, true);
    }
    AppUnderTest fresh;
    fresh.env.files["prog.dis"] = kListing;
    SettingsStore store = SettingsStore::atFile(dir.file("Travonix.ini"));
    fresh.app.startUp(store);

    EXPECT_EQ(fresh.app.options().conversion.mode, OutputMode::Merged);
    EXPECT_EQ(namesOf(fresh.app.session().functions), (Texts{"add", "main"}));
    EXPECT_TRUE(fresh.env.writes.empty());
    EXPECT_TRUE(fresh.ui.messages.empty());

    fresh.app.selectOutputMode(OutputMode::IndividualFiles);
    EXPECT_EQ(fresh.env.writes, (Texts{"out\\add.bas", "out\\main.bas"}));
    EXPECT_EQ(fresh.ui.messages.size(), 1u);
}

TEST(MergedNameText, IsTheFieldTrimmedOfBlanksOnly) {
    AppUnderTest t;
    const struct {
        const char* text;
        const char* name;
    } cases[] = {{"  Blk  ", "Blk"}, {"\tBlk ", "\tBlk"}, {"   ", ""}, {"My_Blk", "My_Blk"}};
    for (const auto& c : cases) {
        t.app.setMergedNameText(c.text);
        EXPECT_EQ(t.app.options().conversion.mergedName, c.name) << '"' << c.text << '"';
    }
}

} // namespace
} // namespace travonix::test
