// Start-up from a temporary settings store, and the saves at exit.

#include "WindowHarness.h"

#include <QtGui/QAction>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>

#include <filesystem>

namespace travonix::test {
namespace {

class WindowStartUp : public WindowTest {
  protected:
    bool checked(const char* name) { return control<QAbstractButton>(name)->isChecked(); }
    bool hidden(const char* name) { return control<QWidget>(name)->isHidden(); }
};

TEST_F(WindowStartUp, AnEmptyStoreGivesIndividualFilesNoToolchainAndNoWatcher) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Travonix - Tavik"));
    for (const char* field : {"elfFileName", "workingFolder", "outputFolder", "mergedName"})
        EXPECT_TRUE(control<QLineEdit>(field)->text().isEmpty()) << field;
    EXPECT_TRUE(checked("individualFiles"));
    EXPECT_FALSE(checked("singleFile"));
    EXPECT_FALSE(checked("merge"));
    EXPECT_FALSE(checked("selectAllFunctions"));
    EXPECT_FALSE(checked("mplab"));
    EXPECT_FALSE(checked("mplabx"));
    // Neither vendor toolchain: the stored command is the user's own.
    EXPECT_TRUE(checked("otherDisassembler"));
    EXPECT_TRUE(hidden("mergedName"));
    // It acts on every load and Refresh, so it is in view, unticked.
    EXPECT_FALSE(hidden("autoGenerate"));
    EXPECT_FALSE(checked("autoGenerate"));
    EXPECT_FALSE(window->watcher().running());
    EXPECT_EQ(control<QListView>("listing")->toolTip(), QStringLiteral("Disassembly of .ELF"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(window->jobRunning());
}

// Choosing MPLab disassembles at once, with the paths read so far: with no
// ELF file its message comes before the window is on screen.
TEST_F(WindowStartUp, MPLabStoredWithoutAnElfFileShowsItsMessageBeforeTheWindow) {
    store.writeBool(keys::kMPLab, true);
    open();
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].text,
              "No .ELF file specified, use .ELF button to pick a .ELF file");
    EXPECT_EQ(dialogs.messages[0].title, "Travonix");
    EXPECT_FALSE(dialogs.messages[0].windowVisible);
    EXPECT_TRUE(checked("mplab"));
    EXPECT_FALSE(checked("mplabx"));
    // The vendor's command with "-z", as the user guide says.
    EXPECT_EQ(window->orchestrator().options().disassemblerCommand, "pic32-objdump.exe -D -z ");
}

TEST_F(WindowStartUp, MergeRestoredShowsTheNameFieldWithTheStoredName) {
    store.writeBool(keys::kMerge, true);
    store.writeBool(keys::kIndividualFiles, false);
    store.writeText(keys::kMergedName, "Blk");
    store.writeBool(keys::kIncludeMain, false);
    open();
    EXPECT_TRUE(checked("merge"));
    EXPECT_FALSE(hidden("mergedName"));
    EXPECT_EQ(control<QLineEdit>("mergedName")->text(), QStringLiteral("Blk"));
    // "Include main()" ends as stored: it is applied after the output type.
    EXPECT_FALSE(checked("includeMain"));
    // Merge ticks it, the stored "Include main()" unticks it: two reads,
    // each without a listing to read. Showing the result runs nothing more.
    ASSERT_EQ(dialogs.messages.size(), 2U);
    EXPECT_EQ(dialogs.messages[0].text.substr(0, 24), "No .DIS file available, ");
    EXPECT_EQ(dialogs.messages[1].text, dialogs.messages[0].text);
}

// "Auto Generate" restored, then "Include main()" re-reads the listing,
// and that read writes the files while the window starts.
TEST_F(WindowStartUp, AutoGenerateWithIncludeMainWritesFilesDuringStartUp) {
    storeDemoPaths();
    std::filesystem::copy_file(examplePath("demo.dis"), dir.file("demo.dis"));
    store.writeBool(keys::kAutoGenerate, true);
    store.writeBool(keys::kIncludeMain, true);
    open();
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/main.bas")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/int_sqrt.bas")));
    EXPECT_TRUE(checked("autoGenerate"));
    EXPECT_TRUE(checked("includeMain"));
    // Without "AutoCheck ELF" the watcher stays off, whatever "Auto Generate"
    // says; the box stays in view, as it still acts on every load.
    EXPECT_FALSE(window->watcher().running());
    EXPECT_FALSE(hidden("autoGenerate"));
    EXPECT_FALSE(shownLines("generatedSource").empty());
    EXPECT_EQ(disassemblerRuns(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

// Showing a restored state runs nothing again: "Show ALL funcs" restored
// reads the listing once (here: one message for the missing listing name).
TEST_F(WindowStartUp, ShowAllRestoredReadsTheListingOnce) {
    store.writeText(keys::kShowAllFunctions, "1");
    open();
    EXPECT_TRUE(checked("showAllFunctions"));
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].text.substr(0, 24), "No .DIS file available, ");
}

TEST_F(WindowStartUp, AutoCheckStoredStartsTheWatcherAndShowsAutoGenerate) {
    store.writeBool(keys::kAutoCheck, true);
    open();
    EXPECT_TRUE(window->watcher().running());
    EXPECT_EQ(window->watcher().intervalMs(), 5000);
    EXPECT_FALSE(hidden("autoGenerate"));
    EXPECT_TRUE(checked("autoCheck"));
}

// The close box and "E&xit" save alike.
class WindowExit : public WindowStartUp, public ::testing::WithParamInterface<bool> {};

TEST_P(WindowExit, SavesEveryOption) {
    const bool byExitMenu = GetParam();
    open();
    control<QAbstractButton>("merge")->click(); // asks for an output folder
    control<QLineEdit>("mergedName")->setText(QStringLiteral("  Blk  "));
    control<QAbstractButton>("showAllFunctions")->click(); // no listing yet: a message
    control<QAbstractButton>("saveDisasm")->click();
    if (byExitMenu)
        window->findChild<QAction*>(QStringLiteral("exitAction"))->trigger();
    else
        window->close();
    EXPECT_FALSE(window->isVisible());

    SettingsStore saved = SettingsStore::atFile(settingsPath);
    EXPECT_EQ(saved.readText(keys::kShowAllFunctions), "1");
    EXPECT_EQ(saved.readText(keys::kMergedName), "Blk");
    EXPECT_EQ(saved.readBool(keys::kMerge), true);
    EXPECT_EQ(saved.readBool(keys::kIndividualFiles), false);
    EXPECT_EQ(saved.readBool(keys::kSingleFile), false);
    EXPECT_EQ(saved.readBool(keys::kKeepListingCopy), true);
    EXPECT_EQ(saved.readBool(keys::kIncludeMain), true);
    EXPECT_EQ(saved.readText(keys::kDisassemblerCommand), "pic32-objdump.exe -D -z");
}

INSTANTIATE_TEST_SUITE_P(ByCloseBoxOrMenu, WindowExit, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "ExitMenu" : "CloseBox");
                         });

} // namespace
} // namespace travonix::test
