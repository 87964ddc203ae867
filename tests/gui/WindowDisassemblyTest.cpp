// The disassembler on a worker thread: the window keeps handling events,
// shows that work is under way, and Cancel ends a slow disassembler.

#include "WindowHarness.h"

#include "app/WindowText.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtGui/QCursor>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QStatusBar>

#include <filesystem>

namespace travonix::test {
namespace {

class WindowDisassembly : public WindowTest {};

TEST_F(WindowDisassembly, ASlowDisassemblerRunsOffTheWindowsThreadAndCancelEndsIt) {
    storeDemoPaths();
    useDisassembler("sleep 30");
    open();
    window->show();
    control<QAbstractButton>("refresh")->click();
    ASSERT_TRUE(window->jobRunning());

    // The window goes on handling events while the disassembler waits.
    bool timerFired = false;
    QTimer::singleShot(50, [&timerFired] { timerFired = true; });
    EXPECT_TRUE(QTest::qWaitFor([&timerFired] { return timerFired; }, 2000));
    QTest::keyClicks(control<QLineEdit>("mergedName"), QStringLiteral("x"));
    EXPECT_EQ(window->orchestrator().options().conversion.mergedName, "x");
    ASSERT_TRUE(window->jobRunning());

    EXPECT_TRUE(control<QWidget>("busyIndicator")->isVisible());
    EXPECT_TRUE(control<QWidget>("cancelDisassembly")->isVisible());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    for (const char* name : {"refresh", "pickElf", "make", "mplab", "individualFiles"})
        EXPECT_FALSE(control<QWidget>(name)->isEnabled()) << name;

    QElapsedTimer ending;
    ending.start();
    control<QAbstractButton>("cancelDisassembly")->click();
    waitForDisassembly();
    EXPECT_LT(ending.elapsed(), 5000);
    EXPECT_TRUE(window->statusBar()->currentMessage().contains(QStringLiteral("was cancelled")))
        << bytesOf(window->statusBar()->currentMessage());
    EXPECT_FALSE(control<QWidget>("busyIndicator")->isVisible());
    EXPECT_FALSE(control<QWidget>("cancelDisassembly")->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(control<QWidget>("refresh")->isEnabled());
    EXPECT_FALSE(std::filesystem::exists(dir.file("demo.dis")));
    EXPECT_TRUE(dialogs.messages.empty());
}

// The listing is read as it arrives: the status line counts its megabytes
// against the guess from the ELF file and the functions read so far, the
// bar fills by the same measure, and a Cancel then leaves no listing.
TEST_F(WindowDisassembly, ShowsHowFarTheListingHasComeUntilCancelled) {
    storeDemoPaths();
    useDisassembler("cat '" + examplePath("demo.dis") + "'; sleep 30");
    open();
    window->show();
    control<QAbstractButton>("refresh")->click();
    const auto status = [this] { return window->statusBar()->currentMessage(); };
    ASSERT_TRUE(QTest::qWaitFor(
        [&status] { return status().contains(QStringLiteral("functions read")); }, 10000))
        << bytesOf(status());
    EXPECT_TRUE(status().startsWith(QStringLiteral("Disassembling: "))) << bytesOf(status());
    EXPECT_TRUE(status().contains(QStringLiteral(" of about "))) << bytesOf(status());
    EXPECT_FALSE(status().contains(QStringLiteral(" 0 functions read"))) << bytesOf(status());
    const auto* bar = control<QProgressBar>("busyIndicator");
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_GT(bar->value(), 0);
    EXPECT_LT(bar->value(), 1000);

    control<QAbstractButton>("cancelDisassembly")->click();
    waitForDisassembly();
    EXPECT_TRUE(status().contains(QStringLiteral("was cancelled"))) << bytesOf(status());
    EXPECT_FALSE(std::filesystem::exists(dir.file("demo.dis")));
    EXPECT_TRUE(window->orchestrator().session().functions.empty());
}

TEST_F(WindowDisassembly, AFailingDisassemblerIsReportedInTheStatusLine) {
    storeDemoPaths();
    useDisassembler("echo 'cannot read the file' >&2\nexit 3");
    open();
    control<QAbstractButton>("refresh")->click();
    waitForDisassembly();
    const QString status = window->statusBar()->currentMessage();
    EXPECT_TRUE(status.contains(QStringLiteral("exit code 3"))) << bytesOf(status);
    EXPECT_TRUE(status.contains(QStringLiteral("cannot read the file"))) << bytesOf(status);
}

// Closing the window while the disassembler runs ends it and still saves.
TEST_F(WindowDisassembly, ClosingDuringADisassemblyEndsItAndSaves) {
    storeDemoPaths();
    useDisassembler("sleep 30");
    open();
    control<QAbstractButton>("refresh")->click();
    ASSERT_TRUE(window->jobRunning());
    QElapsedTimer closing;
    closing.start();
    window->close();
    EXPECT_LT(closing.elapsed(), 5000);
    EXPECT_FALSE(window->jobRunning());
    SettingsStore saved = SettingsStore::atFile(settingsPath);
    EXPECT_EQ(saved.readText(keys::kElfFileName), dir.file("demo.elf"));
}

} // namespace
} // namespace travonix::test
