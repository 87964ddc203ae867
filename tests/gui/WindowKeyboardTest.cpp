// The window from the keyboard: the desktop's standard shortcuts, a Tab
// order that follows the layout, and an ELF path typed or pasted, then
// loaded with Enter.

#include "WindowHarness.h"

#include "app/WindowText.h"

#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <filesystem>

namespace travonix::test {
namespace {

class WindowKeyboard : public WindowTest {
  protected:
    void openActive() {
        storeDemoPaths();
        std::filesystem::create_directories(dir.file("bin"));
        programFolder = dir.file("bin"); // no help.pdf: F1 shows its box
        open();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
};

TEST_F(WindowKeyboard, StandardShortcutsRunTheirCommands) {
    // The platform's keys; where it has none (Quit on Windows, and on the
    // offscreen platform these tests run on), the usual one.
    struct Case {
        const char* action;
        QKeySequence::StandardKey key;
        QKeySequence usual;
    };
    const Case cases[] = {
        {"openElfAction", QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"refreshAction", QKeySequence::Refresh, QKeySequence(Qt::Key_F5)},
        {"helpAction", QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)},
        {"exitAction", QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    openActive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        auto* action = window->findChild<QAction*>(QString::fromLatin1(c.action));
        ASSERT_NE(action, nullptr);
        const QList<QKeySequence> platform = QKeySequence::keyBindings(c.key);
        EXPECT_EQ(action->shortcuts(),
                  platform.isEmpty() ? QList<QKeySequence>{c.usual} : platform);
        EXPECT_TRUE(action->shortcuts().contains(c.usual));
    }

    // Ctrl+O, F5, F1 and Ctrl+Q do what their button or menu entry does.
    dialogs.elfChoices.push_back(QString()); // the chooser opens, and is cancelled
    QTest::keySequence(window.get(), cases[0].usual);
    EXPECT_TRUE(dialogs.elfChoices.empty());

    QTest::keySequence(window.get(), cases[1].usual);
    waitForDisassembly();
    EXPECT_EQ(disassemblerRuns(), 1);

    dialogs.actionAnswers.push_back(false);
    QTest::keySequence(window.get(), cases[2].usual);
    EXPECT_TRUE(dialogs.actionAnswers.empty());

    QTest::keySequence(window.get(), cases[3].usual);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }));
}

TEST_F(WindowKeyboard, TabFollowsTheLayoutAndSkipsFieldsThatOnlyShow) {
    openActive();
    auto* start = control<QLineEdit>("elfFileName");
    start->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([start] { return start->hasFocus(); }));
    std::vector<std::string> visited{"elfFileName"};
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        if (focused == start)
            break;
        // The message history's dock lies outside the central area.
        if (window->centralWidget()->isAncestorOf(focused))
            visited.push_back(bytesOf(focused->objectName()));
    }
    // Tab enters each group of options once, at its first; the arrow keys
    // move within it.
    const std::vector<std::string> expected{"elfFileName",
                                            "pickElf",
                                            "refresh",
                                            "pickOutputFolder",
                                            "listing",
                                            "functions",
                                            "generatedSource",
                                            "findings",
                                            "merge",
                                            "mplab",
                                            "disassemblerCommand",
                                            "browseDisassembler",
                                            "showAllFunctions",
                                            "selectAllFunctions",
                                            "includeMain",
                                            "saveDisasm",
                                            "autoLoadElf",
                                            "autoCheck",
                                            "autoGenerate",
                                            "positionIndependent",
                                            "make"};
    EXPECT_EQ(visited, expected);
}

TEST_F(WindowKeyboard, AnElfPathTypedOrPastedIsLoadedWithEnter) {
    struct Case {
        const char* name;
        bool paste;
        bool nameOnly; // a name without a folder is taken in the working folder
    };
    const Case cases[] = {
        {"typed path", false, false},
        {"typed name", false, true},
        {"pasted path", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir.file("runs"));
        openActive();
        const std::string other = dir.file("other.elf");
        std::filesystem::copy_file(examplePath("demo.elf"), other,
                                   std::filesystem::copy_options::overwrite_existing);
        auto* field = control<QLineEdit>("elfFileName");
        EXPECT_FALSE(field->isReadOnly());
        field->setFocus();
        field->selectAll();
        const QString text = QString::fromStdString(c.nameOnly ? "other.elf" : other);
        if (c.paste) {
            QApplication::clipboard()->setText(text);
            QTest::keySequence(field, QKeySequence(QKeySequence::Paste));
        } else {
            QTest::keyClicks(field, text);
        }
        EXPECT_EQ(field->text(), text);
        EXPECT_EQ(disassemblerRuns(), 0); // nothing happens before Enter
        QTest::keyClick(field, Qt::Key_Return);
        waitForDisassembly();
        EXPECT_EQ(window->orchestrator().options().elfPath, other);
        EXPECT_EQ(disassemblerRuns(), 1);
        EXPECT_EQ(field->text(), QStringLiteral("other.elf"));
        EXPECT_GT(window->orchestrator().session().functions.size(), 0U);
    }
}

} // namespace
} // namespace travonix::test
