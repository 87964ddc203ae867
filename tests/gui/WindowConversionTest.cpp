// A large conversion runs off the window's thread: the window stays
// responsive and shows that it works, and the run ends as a small one does.

#include "WindowHarness.h"
#include "app/MainWindow.h"
#include "app/WindowText.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStatusBar>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace travonix::test {
namespace {

// A listing of `count` small functions, well past what a run does at once.
void writeLargeListing(const std::string& path, int count);

class WindowConversion : public WindowTest {
  protected:
    // A merge run over a large listing, as stored options: the window opens
    // with it read. Gives the number of functions.
    int storeLargeMergeRun() {
        const int functions = 30000; // 120,000 listing lines
        writeLargeListing(dir.file("big.dis"), functions);
        std::filesystem::create_directory(dir.file("out"));
        store.writeText(keys::kDisFileName, dir.file("big.dis"));
        store.writeText(keys::kOutputFolder, dir.file("out"));
        store.writeText(keys::kMergedName, "Big");
        store.writeBool(keys::kMerge, true);
        store.writeBool(keys::kSingleFile, false);
        store.writeBool(keys::kIndividualFiles, false);
        store.writeBool(keys::kSelectAll, true);
        return functions;
    }
};

void writeLargeListing(const std::string& path, int count) {
    std::ofstream out(path, std::ios::binary);
    out << "\r\nbig.elf:     file format elf32-tradlittlemips\r\n\r\n\r\n"
           "Disassembly of section .text:\r\n\r\n";
    char line[96];
    for (int k = 0; k < count; ++k) {
        const unsigned address = 0x9d000000u + 8u * static_cast<unsigned>(k);
        std::snprintf(
            line, sizeof line,
            "%08x <f%d>:\r\n%08x:\t03e00008 \tjr\tra\r\n%08x:\t24020001 \tli\tv0,1\r\n\r\n",
            address, k, address, address + 4);
        out << line;
    }
}

TEST_F(WindowConversion, ALargeRunWorksOffTheWindowsThreadAndEndsWithItsMessage) {
    const int functions = storeLargeMergeRun();
    open();
    window->show();
    ASSERT_EQ(window->orchestrator().session().functions.size(),
              static_cast<std::size_t>(functions));
    ASSERT_GT(window->orchestrator().session().listing.size(), Orchestrator::kLargeListingLines);

    QStringList statusLines; // what the status line said while the run went on
    QObject::connect(window->statusBar(), &QStatusBar::messageChanged,
                     [&statusLines](const QString& text) { statusLines << text; });
    control<QAbstractButton>("make")->click();
    ASSERT_TRUE(window->jobRunning()) << "the run goes to the worker";
    EXPECT_TRUE(control<QWidget>("busyIndicator")->isVisible());
    EXPECT_FALSE(control<QWidget>("make")->isEnabled());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    bool timerFired = false;
    QTimer::singleShot(1, [&timerFired] { timerFired = true; });
    EXPECT_TRUE(QTest::qWaitFor([&timerFired] { return timerFired; }, 5000));

    waitForDisassembly();
    EXPECT_TRUE(statusLines.contains(QStringLiteral("Writing: 1 of 1 files")))
        << bytesOf(statusLines.join(QStringLiteral(" | ")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/Big.bas")));
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].text == "Big.bas\r\n\r\n file written to disk")
        << dialogs.messages[0].text.substr(0, 80);
    EXPECT_TRUE(control<QWidget>("make")->isEnabled());
    EXPECT_FALSE(control<QWidget>("busyIndicator")->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(shownLines("generatedSource").empty());
}

// Cancel stops the run before its files: the one there stays as it was and
// the status line says so.
TEST_F(WindowConversion, CancelDuringALargeRunLeavesTheFilesAsTheyWere) {
    storeLargeMergeRun();
    {
        std::ofstream old(dir.file("out/Big.bas"), std::ios::binary);
        old << "old";
    }
    open();
    window->show();

    control<QAbstractButton>("make")->click();
    ASSERT_TRUE(window->jobRunning());
    ASSERT_TRUE(control<QWidget>("cancelDisassembly")->isVisible());
    control<QAbstractButton>("cancelDisassembly")->click();
    waitForDisassembly();

    std::ifstream kept(dir.file("out/Big.bas"), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(kept)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "old");
    EXPECT_TRUE(dialogs.messages.empty()) << "no file written, no completion box";
    EXPECT_EQ(window->orchestrator().session().statusLine,
              "Cancelled: no file was written; every file is as it was");
    EXPECT_TRUE(control<QWidget>("make")->isEnabled());
    EXPECT_FALSE(control<QWidget>("cancelDisassembly")->isVisible());
}

} // namespace
} // namespace travonix::test
