// The ELF watcher: its timer as "AutoCheck ELF" and "Auto Generate" switch
// it, and ticks on a real file whose modification time changes.

#include "WindowHarness.h"

#include <QtWidgets/QAbstractButton>

#include <chrono>
#include <filesystem>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

class WindowWatcher : public WindowTest {
  protected:
    void click(const char* name) { control<QAbstractButton>(name)->click(); }
    bool shownAutoGenerate() { return !control<QWidget>("autoGenerate")->isHidden(); }
    // A new build of the ELF file: a later modification time.
    void rebuildElf() {
        const fs::path elf = dir.file("demo.elf");
        fs::last_write_time(elf, fs::last_write_time(elf) + std::chrono::seconds(10));
    }
};

TEST_F(WindowWatcher, TheTimerFollowsTheSwitchingTable) {
    open();
    struct Step {
        const char* click;
        bool running;
        bool autoGenerateShown;
    };
    const Step steps[] = {
        {"autoCheck", true, true},     // checked: on, shown
        {"autoGenerate", true, true},  // checked: on
        {"autoGenerate", false, true}, // unchecked: off although AutoCheck stays on
        {"autoCheck", false, true},    // unchecked: off, still shown
        {"autoCheck", true, true},     // checked again: on
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.click);
        click(step.click);
        EXPECT_EQ(window->watcher().running(), step.running);
        EXPECT_EQ(shownAutoGenerate(), step.autoGenerateShown);
        EXPECT_EQ(window->watcher().intervalMs(), 5000);
    }
}

// Unticking "AutoCheck ELF" while "Auto Generate" stays ticked: the watcher
// stops, the box stays in view, and a read still ends with generation.
TEST_F(WindowWatcher, AutoGenerateTickedWithoutAutoCheckStaysShownAndGeneratesAfterRefresh) {
    storeDemoPaths();
    store.writeBool(keys::kAutoCheck, true);
    store.writeBool(keys::kAutoGenerate, true);
    open();
    click("autoCheck");
    EXPECT_FALSE(window->watcher().running());
    EXPECT_TRUE(shownAutoGenerate());
    EXPECT_TRUE(control<QAbstractButton>("autoGenerate")->isChecked());
    click("refresh");
    waitForDisassembly();
    EXPECT_TRUE(fs::exists(dir.file("out/int_sqrt.bas")));
}

TEST_F(WindowWatcher, ARebuiltElfFileIsQuestionedOnceAndReloadedOnYes) {
    storeDemoPaths();
    store.writeBool(keys::kAutoCheck, true);
    open();
    ASSERT_TRUE(window->watcher().running());

    window->watcherTimeout();
    EXPECT_TRUE(dialogs.questions.empty());

    rebuildElf();
    dialogs.answers.push_back(false);
    window->watcherTimeout();
    ASSERT_EQ(dialogs.questions.size(), 1U);
    EXPECT_EQ(dialogs.questions[0].text, "demo.elf\r\nhas changed, Reload .ELF file ?");
    EXPECT_EQ(dialogs.questions[0].title, "Travonix");
    EXPECT_TRUE(dialogs.questions[0].yesIsDefault);
    EXPECT_FALSE(window->jobRunning());
    window->watcherTimeout(); // the same change: no second question
    EXPECT_EQ(dialogs.questions.size(), 1U);

    rebuildElf();
    dialogs.answers.push_back(true);
    window->watcherTimeout();
    waitForDisassembly();
    EXPECT_EQ(dialogs.questions.size(), 2U);
    EXPECT_EQ(disassemblerRuns(), 1);
    EXPECT_FALSE(shownLines("functions").empty());
    EXPECT_FALSE(fs::exists(dir.file("out/int_sqrt.bas")));
    EXPECT_TRUE(window->watcher().running());
}

TEST_F(WindowWatcher, WithAutoGenerateARebuildRegeneratesWithoutAsking) {
    storeDemoPaths();
    store.writeBool(keys::kAutoCheck, true);
    store.writeBool(keys::kAutoGenerate, true);
    open();
    rebuildElf();
    window->watcherTimeout();
    waitForDisassembly();
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(disassemblerRuns(), 1);
    EXPECT_TRUE(fs::exists(dir.file("out/int_sqrt.bas")));
}

// An ELF file built after start counts as a change at the first tick.
TEST_F(WindowWatcher, AnElfFileThatAppearsAfterStartIsAChange) {
    storeDemoPaths();
    fs::remove(dir.file("demo.elf"));
    store.writeBool(keys::kAutoCheck, true);
    open();
    window->watcherTimeout();
    EXPECT_TRUE(dialogs.questions.empty());
    copyOfDemoElf();
    dialogs.answers.push_back(false);
    window->watcherTimeout();
    EXPECT_EQ(dialogs.questions.size(), 1U);
}

} // namespace
} // namespace travonix::test
