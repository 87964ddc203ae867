#pragma once

#include "app/MainWindow.h"
#include "app/SettingsStore.h"
#include "app/WindowDialogs.h"
#include "platform/LocalEnvironment.h"
#include "support/Fixtures.h"

#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace travonix::test {

// The window's boxes and choosers answered from a script, recording what
// they were asked and whether the window was on screen at that moment.
class ScriptedDialogs : public WindowDialogs {
  public:
    struct Shown {
        std::string text;
        std::string title;
        bool windowVisible = false;
        bool yesIsDefault = false;
    };

    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::deque<bool> answers;
    std::vector<std::string> offeredActions;
    std::deque<bool> actionAnswers; // true = the box's offered action
    std::deque<std::optional<QString>> textAnswers;
    std::deque<QString> elfChoices;
    std::deque<QString> folderChoices;
    std::vector<std::string> folderTitles;
    std::vector<QString> folderStarts;
    std::deque<QString> programChoices;

    void showMessage(QWidget* parent, const QString& text, const QString& title) override;
    bool offerAction(QWidget* parent, const QString& text, const QString& title,
                     const QString& action) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& title,
                  bool yesIsDefault) override;
    std::optional<QString> askText(QWidget* parent, const QString& prompt, const QString& title,
                                   const QString& defaultText) override;
    QString chooseElfFile(QWidget* parent) override;
    QString chooseFolder(QWidget* parent, const QString& title,
                         const QString& startFolder) override;
    QString chooseProgram(QWidget* parent) override;
};

// A window over a temporary settings file, the real files in a temporary
// folder and a disassembler given as a shell script.
class WindowTest : public ::testing::Test {
  protected:
    ~WindowTest() override;

    // Creates the window and runs its start-up (after looking for the
    // disassemblers in `searchPath`, when one is given).
    MainWindow& open();
    template <typename Widget> Widget* control(const char* name) {
        Widget* found = window->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The bundled example's ELF file, copied into the temporary folder.
    std::string copyOfDemoElf();
    // A disassembler that runs this shell script body (it gets "-z" and the
    // ELF path as arguments); stored as the disassembler command.
    void useDisassembler(const std::string& scriptBody);
    // One that prints the bundled example's listing and counts its runs.
    void useDemoDisassembler();
    int disassemblerRuns() const;
    // ELF file, listing and output folder in the temporary folder, the demo
    // disassembler, every function selected.
    void storeDemoPaths();
    // storeDemoPaths(), open(), Refresh, wait for the listing.
    MainWindow& openWithDemoLoaded();
    void waitForDisassembly();

    std::vector<std::string> shownLines(const char* listName);

    TempDir dir;
    std::string settingsPath = dir.file("settings.ini");
    SettingsStore store = SettingsStore::atFile(settingsPath);
    ScriptedDialogs dialogs;
    std::optional<std::string> searchPath;
    std::string programFolder; // where help.pdf is looked for; "" for the test program's
    LocalEnvironment environment;
    ProcessRunner runner;
    std::unique_ptr<MainWindow> window;
};

} // namespace travonix::test
