#include "AppTestDoubles.h"

#include "support/Fixtures.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

#include <ostream>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

const char* const kElfPath = "C:\\work\\prog.elf";
const char* const kListingPath = "C:\\work\\prog.dis";
const char* const kQuestion = "prog.elf\r\nhas changed, Reload .ELF file ?";

// ---- switching the watcher ---------------------------------------------

enum class Click { None, AutoCheckOn, AutoCheckOff, AutoGenerateOn, AutoGenerateOff };

struct SwitchCase {
    const char* name;
    bool storedAutoCheck;
    bool storedAutoGenerate;
    Click click;
    bool running;
    bool autoGenerateShown;
    bool autoCheck;
    bool autoGenerate;
};

void PrintTo(const SwitchCase& c, std::ostream* out) {
    *out << c.name;
}

const SwitchCase kSwitches[] = {
    // "Auto Generate" is shown in every case: it acts on every load.
    {"StartWithAutoCheck", true, false, Click::None, true, true, true, false},
    {"StartWithoutAutoCheck", false, false, Click::None, false, true, false, false},
    {"StartWithAutoGenerateOnly", false, true, Click::None, false, true, false, true},
    {"AutoCheckTicked", false, false, Click::AutoCheckOn, true, true, true, false},
    // "Auto Generate" stays ticked, in view, and still generates after reads.
    {"AutoCheckCleared", true, true, Click::AutoCheckOff, false, true, false, true},
    {"AutoGenerateTickedWithoutAutoCheck", false, false, Click::AutoGenerateOn, true, true, false,
     true},
    // Clearing "Auto Generate" stops the watcher though "AutoCheck ELF" stays.
    {"AutoGenerateCleared", true, true, Click::AutoGenerateOff, false, true, true, false},
};

class WatcherSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(WatcherSwitch, FollowsTheTwoBoxes) {
    const SwitchCase& c = GetParam();
    SettingsLog log;
    log.values[storedKey(keys::kAutoCheck)] = c.storedAutoCheck ? "True" : "False";
    log.values[storedKey(keys::kAutoGenerate)] = c.storedAutoGenerate ? "True" : "False";
    SettingsStore store = recordingStore(log);
    AppUnderTest t;
    t.app.startUp(store);

    switch (c.click) {
    case Click::None:
        break;
    case Click::AutoCheckOn:
        t.app.setAutoCheck(true);
        break;
    case Click::AutoCheckOff:
        t.app.setAutoCheck(false);
        break;
    case Click::AutoGenerateOn:
        t.app.setAutoGenerate(true);
        break;
    case Click::AutoGenerateOff:
        t.app.setAutoGenerate(false);
        break;
    }
    EXPECT_EQ(t.app.controls().watcherRunning, c.running);
    EXPECT_EQ(t.app.controls().autoGenerateShown, c.autoGenerateShown);
    EXPECT_EQ(t.app.options().autoCheck, c.autoCheck);
    EXPECT_EQ(t.app.options().autoGenerate, c.autoGenerate);
}

INSTANTIATE_TEST_SUITE_P(Clicks, WatcherSwitch, ::testing::ValuesIn(kSwitches),
                         [](const ::testing::TestParamInfo<SwitchCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- the tick ----------------------------------------------------------

class WatcherTick : public ::testing::Test, public AppUnderTest {
  protected:
    WatcherTick() {
        listing = readWholeFile(fixturePath("calls.dis"));
        env.files[kElfPath] = "\x7f"
                              "ELF";
        env.modified[kElfPath] = "2026-12-10 09:00:00";
        disassembler.listingText = listing;
        // The watcher starts from the time start-up saw.
        SettingsLog log;
        log.values[storedKey(keys::kElfFileName)] = kElfPath;
        log.values[storedKey(keys::kDisFileName)] = kListingPath;
        log.values[storedKey(keys::kOutputFolder)] = "C:\\out";
        log.values[storedKey(keys::kSelectAll)] = "True";
        log.values[storedKey(keys::kAutoCheck)] = "True";
        SettingsStore store = recordingStore(log);
        app.startUp(store);
    }
    void rebuild(const std::string& time) { env.modified[kElfPath] = time; }

    std::string listing;
};

TEST_F(WatcherTick, UnchangedFileDoesNothing) {
    ASSERT_EQ(app.lastElfTime(), "2026-12-10 09:00:00");
    app.watcherTick();
    app.watcherTick();
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(disassembler.commands.empty());
}

TEST_F(WatcherTick, AChangeAsksOnceWithYesAsDefaultAndYesReloads) {
    rebuild("2026-12-10 09:10:00");
    ui.yesNoAnswers = {true};
    app.watcherTick();

    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text, kQuestion);
    EXPECT_EQ(ui.questions[0].title, "Travonix");
    EXPECT_EQ(ui.questionDefaults, std::vector<bool>{true});
    ASSERT_EQ(disassembler.commands.size(), 1u);
    EXPECT_FALSE(app.session().functions.empty());
    EXPECT_EQ(app.lastElfTime(), "2026-12-10 09:10:00");
    // Without "Auto Generate" a reload reads but makes nothing.
    EXPECT_TRUE(env.writes.empty());

    app.watcherTick();
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(disassembler.commands.size(), 1u);
}

TEST_F(WatcherTick, NoIsAskedAgainOnlyAfterTheNextChange) {
    rebuild("2026-12-10 09:10:00");
    ui.yesNoAnswers = {false};
    app.watcherTick();
    app.watcherTick();
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_TRUE(disassembler.commands.empty());
    EXPECT_TRUE(app.session().functions.empty());

    // Rewritten twice within the same second: one change, one question.
    rebuild("2026-12-10 09:20:00");
    ui.yesNoAnswers = {false};
    app.watcherTick();
    rebuild("2026-12-10 09:20:00");
    app.watcherTick();
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_TRUE(disassembler.commands.empty());
}

TEST_F(WatcherTick, WithAutoGenerateAChangeRegeneratesWithoutAsking) {
    app.setAutoGenerate(true);
    rebuild("2026-12-10 09:10:00");
    app.watcherTick();

    EXPECT_TRUE(ui.questions.empty());
    ASSERT_EQ(disassembler.commands.size(), 1u);
    Texts expected;
    for (const FunctionEntry& f : app.session().functions)
        expected.push_back("C:\\out\\" + f.name + ".bas");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(env.writes, expected);
    for (const auto& shown : ui.messages)
        EXPECT_NE(shown.title, "Travonix Maker") << shown.text;
}

TEST_F(WatcherTick, AMissingElfFileKeepsTheLastTime) {
    env.files.erase(kElfPath);
    app.watcherTick();
    EXPECT_EQ(app.lastElfTime(), "2026-12-10 09:00:00");
    // Back with the time it had: no change.
    env.files[kElfPath] = "\x7f"
                          "ELF";
    app.watcherTick();
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(WatcherTick, NoElfFileChosenDoesNothing) {
    app.editOptions().elfPath.clear();
    rebuild("2026-12-10 09:10:00");
    app.watcherTick();
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(disassembler.commands.empty());
}

// Start-up found no ELF file, so the first one built counts as a change.
TEST(WatcherTickFromStart, AFileThatAppearsLaterIsAChange) {
    AppUnderTest t;
    SettingsLog log;
    log.values[storedKey(keys::kElfFileName)] = kElfPath;
    log.values[storedKey(keys::kDisFileName)] = kListingPath;
    log.values[storedKey(keys::kAutoCheck)] = "True";
    SettingsStore store = recordingStore(log);
    t.app.startUp(store);
    ASSERT_EQ(t.app.lastElfTime(), "");

    t.app.watcherTick();
    EXPECT_TRUE(t.ui.questions.empty());

    t.env.files[kElfPath] = "\x7f"
                            "ELF";
    t.disassembler.listingText = listingFile(
        {"Disassembly of section .text:", "", "9d000000 <f>:", "9d000000:\t03e00008 \tjr\tra"});
    t.ui.yesNoAnswers = {true};
    t.app.watcherTick();
    ASSERT_EQ(t.ui.questions.size(), 1u);
    EXPECT_EQ(t.ui.questions[0].text, kQuestion);
    EXPECT_EQ(t.disassembler.commands.size(), 1u);
    EXPECT_EQ(namesOf(t.app.session().functions), Texts{"f"});
}

} // namespace
} // namespace travonix::test
