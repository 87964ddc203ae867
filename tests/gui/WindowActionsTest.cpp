// Each control reaching its action on a loaded example, Ctrl+C in the
// lists, the choosers, dropping an ELF file and a listing of half a million
// lines.

#include "WindowHarness.h"

#include "app/WindowText.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QMimeData>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QClipboard>
#include <QtGui/QDropEvent>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStatusBar>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string clipboardText() {
    return bytesOf(QGuiApplication::clipboard()->text());
}

std::string joinedWithCrLf(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines)
        all += line + "\r\n";
    return all;
}

class WindowActions : public WindowTest {
  protected:
    void click(const char* name) { control<QAbstractButton>(name)->click(); }
    std::vector<std::string> selectedFunctions() {
        std::vector<std::string> names;
        auto* view = control<QListView>("functions");
        for (const QModelIndex& index : view->selectionModel()->selectedRows())
            names.push_back(bytesOf(index.data().toString()));
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(WindowActions, RefreshShowsTheListingTheFunctionsAndTheRewrittenLines) {
    openWithDemoLoaded();
    EXPECT_EQ(disassemblerRuns(), 1);
    const std::vector<std::string> functions = shownLines("functions");
    EXPECT_TRUE(contains(functions, "int_sqrt"));
    EXPECT_TRUE(contains(functions, "message.0"));
    EXPECT_FALSE(contains(functions, "main"));
    EXPECT_EQ(selectedFunctions().size(), functions.size());
    EXPECT_EQ(control<QLineEdit>("elfFileName")->text(), QStringLiteral("demo.elf"));
    EXPECT_EQ(control<QLineEdit>("workingFolder")->text(), shown(dir.path()));

    // A rewritten jump is shown as a bal, highlighted.
    const QAbstractItemModel* listing = control<QListView>("listing")->model();
    int highlighted = 0;
    for (int row = 0; row < listing->rowCount(); ++row) {
        const QModelIndex index = listing->index(row, 0);
        if (index.data(Qt::BackgroundRole).isValid()) {
            ++highlighted;
            EXPECT_TRUE(index.data().toString().contains(QStringLiteral("\tbal\t")))
                << bytesOf(index.data().toString());
        }
    }
    EXPECT_GT(highlighted, 0);
}

TEST_F(WindowActions, ChoosingAnOutputTypeWritesTheFiles) {
    openWithDemoLoaded();
    click("singleFile");
    EXPECT_TRUE(fs::exists(dir.file("out/int_sqrt.bas")));
    EXPECT_FALSE(fs::exists(dir.file("out/crc8_buffer.bas")));
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].title, "Travonix Maker");
    EXPECT_FALSE(shownLines("generatedSource").empty());
    EXPECT_FALSE(control<QLineEdit>("size")->text().isEmpty());
    EXPECT_TRUE(control<QLineEdit>("makeTime")->text().startsWith(QStringLiteral("Created at ")));
}

TEST_F(WindowActions, MakeWritesOneFilePerFunctionAndReportsTheCountsInTheStatusLine) {
    openWithDemoLoaded();
    const std::size_t functions = shownLines("functions").size();
    click("make");
    for (const std::string& name : shownLines("functions"))
        EXPECT_TRUE(fs::exists(dir.file("out/" + name + ".bas"))) << name;
    const QString status = window->statusBar()->currentMessage();
    EXPECT_TRUE(status.startsWith(QString::number(functions) + QStringLiteral(" functions, ")))
        << bytesOf(status);
    EXPECT_TRUE(status.contains(QString::number(functions) + QStringLiteral(" files written")))
        << bytesOf(status);
}

// The clipboard gets the written file's text, its pieces (one file of every
// block here) put together by the window: the file less the empty line
// after its head and its last line end.
TEST_F(WindowActions, MakePutsTheWrittenFileOnTheClipboard) {
    openWithDemoLoaded();
    click("singleFile");
    const std::string clip = clipboardText();
    ASSERT_EQ(clip.rfind("'\r\n'", 0), 0U) << clip;
    const std::size_t headEnd = clip.find("\r\n", 4);
    ASSERT_NE(headEnd, std::string::npos);
    const std::string path = clip.substr(4, headEnd - 4);
    EXPECT_EQ(readWholeFile(path),
              clip.substr(0, headEnd + 2) + "\r\n" + clip.substr(headEnd + 2) + "\r\n");
}

TEST_F(WindowActions, IncludeMainReReadsTheListingWithMain) {
    openWithDemoLoaded();
    click("includeMain");
    EXPECT_TRUE(contains(shownLines("functions"), "main"));
    click("includeMain");
    EXPECT_FALSE(contains(shownLines("functions"), "main"));
    EXPECT_EQ(disassemblerRuns(), 1);
}

TEST_F(WindowActions, ShowAllFunctionsListsTheSystemSections) {
    openWithDemoLoaded();
    click("showAllFunctions");
    EXPECT_TRUE(contains(shownLines("functions"), ".reginfo"));
    EXPECT_TRUE(window->orchestrator().options().conversion.fullReading);
}

TEST_F(WindowActions, SelectAllAndAClickInTheListChangeTheSelection) {
    openWithDemoLoaded();
    click("selectAllFunctions");
    EXPECT_TRUE(selectedFunctions().empty());
    auto* view = control<QListView>("functions");
    const QRect first = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, first.center());
    ASSERT_EQ(selectedFunctions().size(), 1U);
    EXPECT_TRUE(window->orchestrator().session().functions[0].selected);
    click("make");
    EXPECT_TRUE(fs::exists(dir.file("out/" + selectedFunctions()[0] + ".bas")));
    EXPECT_FALSE(fs::exists(dir.file("out/" + shownLines("functions")[1] + ".bas")));
    click("selectAllFunctions");
    EXPECT_EQ(selectedFunctions().size(), shownLines("functions").size());
}

TEST_F(WindowActions, OptionBoxesRecordTheirChoice) {
    openWithDemoLoaded();
    click("saveDisasm");
    click("autoLoadElf");
    const Options& options = window->orchestrator().options();
    EXPECT_TRUE(options.conversion.keepListingCopy);
    EXPECT_TRUE(options.autoLoadElf);
    click("make");
    EXPECT_TRUE(fs::exists(dir.file("out/DisAsm.txt")));
}

TEST_F(WindowActions, TypingTheMergedNameKeepsItWithoutBlanks) {
    openWithDemoLoaded();
    dialogs.textAnswers.push_back(std::nullopt); // Make asks for the name: cancelled
    click("merge");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().text, "Enter a name for the Cfunction");
    auto* name = control<QLineEdit>("mergedName");
    ASSERT_FALSE(name->isHidden());
    name->clear();
    QTest::keyClicks(name, QStringLiteral(" Blk "));
    EXPECT_EQ(window->orchestrator().options().conversion.mergedName, "Blk");
    // What the user typed stays as typed.
    EXPECT_EQ(name->text(), QStringLiteral(" Blk "));
    click("make");
    EXPECT_TRUE(fs::exists(dir.file("out/Blk.bas")));
}

TEST_F(WindowActions, ChoosingAToolchainSetsItsCommandAndDisassembles) {
    openWithDemoLoaded();
    click("mplab");
    waitForDisassembly();
    EXPECT_EQ(window->orchestrator().options().disassemblerCommand, "pic32-objdump.exe -D -z ");
    EXPECT_FALSE(window->statusBar()->currentMessage().isEmpty());
    // The command is not the demo disassembler any more: its count stays.
    EXPECT_EQ(disassemblerRuns(), 1);
}

TEST_F(WindowActions, CtrlCCopiesTheWholeListingAndTheWholeSource) {
    open();
    QTest::keyClick(control<QListView>("listing"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), "");

    window.reset();
    openWithDemoLoaded();
    QTest::keyClick(control<QListView>("listing"), Qt::Key_C, Qt::ControlModifier);
    const std::vector<std::string> listing = shownLines("listing");
    ASSERT_GT(listing.size(), 50U);
    EXPECT_EQ(clipboardText(), joinedWithCrLf(listing));

    click("make");
    QTest::keyClick(control<QListView>("generatedSource"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), joinedWithCrLf(shownLines("generatedSource")));
}

TEST_F(WindowActions, TheElfChooserLoadsTheChosenFileAndMovesTheOutputFolder) {
    storeDemoPaths();
    store.writeText(keys::kOutputFolder, dir.file("out"));
    store.writeText(keys::kMergedName, "Old");
    fs::create_directory(dir.file("chosen"));
    const std::string elf = dir.file("chosen/prog.elf");
    fs::copy_file(examplePath("demo.elf"), elf);
    open();
    dialogs.elfChoices.push_back(shown(elf));
    click("pickElf");
    waitForDisassembly();
    EXPECT_EQ(control<QLineEdit>("elfFileName")->text(), QStringLiteral("prog.elf"));
    EXPECT_EQ(control<QLineEdit>("workingFolder")->text(), shown(dir.file("chosen")));
    EXPECT_EQ(control<QLineEdit>("outputFolder")->text(), shown(dir.file("chosen")));
    EXPECT_EQ(control<QLineEdit>("listingFileName")->text(), QStringLiteral("prog.dis"));
    EXPECT_EQ(window->orchestrator().options().conversion.mergedName, "");
    EXPECT_TRUE(fs::exists(dir.file("chosen/prog.dis")));
    EXPECT_TRUE(contains(shownLines("functions"), "int_sqrt"));

    // A cancelled dialog changes nothing.
    dialogs.elfChoices.push_back(QString());
    click("pickElf");
    EXPECT_FALSE(window->jobRunning());
    EXPECT_EQ(control<QLineEdit>("elfFileName")->text(), QStringLiteral("prog.elf"));
    EXPECT_EQ(disassemblerRuns(), 1);
}

TEST_F(WindowActions, DroppingAnElfFileLoadsItAsTheChooserWould) {
    storeDemoPaths();
    open();
    const std::string elf = dir.file("dropped.elf");
    fs::copy_file(examplePath("demo.elf"), elf);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(shown(elf))});
    const QPointF at(20, 20);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    waitForDisassembly();
    EXPECT_EQ(control<QLineEdit>("elfFileName")->text(), QStringLiteral("dropped.elf"));
    EXPECT_TRUE(contains(shownLines("functions"), "int_sqrt"));

    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(shown(dir.file("notes.txt")))});
    QDragEnterEvent refused(at.toPoint(), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(WindowActions, TheFolderChooserStartsInTheCurrentFolderAndCancelKeepsTheFolder) {
    storeDemoPaths();
    open();
    dialogs.folderChoices.push_back(shown(dir.file("chosen")));
    click("pickOutputFolder");
    EXPECT_EQ(control<QLineEdit>("outputFolder")->text(), shown(dir.file("chosen")));
    dialogs.folderChoices.push_back(QString());
    click("pickOutputFolder");
    EXPECT_EQ(control<QLineEdit>("outputFolder")->text(), shown(dir.file("chosen")));
    EXPECT_EQ(window->orchestrator().options().conversion.outputFolder, dir.file("chosen"));
    ASSERT_EQ(dialogs.folderTitles.size(), 2U);
    EXPECT_EQ(dialogs.folderTitles[0], "Select Plugin folder");
    EXPECT_EQ(dialogs.folderStarts[0], QDir::currentPath());
}

// The platform dialog as the program opens it: title, filters, extension.
TEST(ElfFileDialog, OffersElfFilesUnderItsTitle) {
    QtWindowDialogs dialogs;
    QString title;
    QStringList filters;
    QString suffix;
    QTimer inspector;
    QObject::connect(&inspector, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        inspector.stop();
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        dialog->reject();
    });
    inspector.start(20);
    EXPECT_TRUE(dialogs.chooseElfFile(nullptr).isEmpty());
    EXPECT_EQ(title, QStringLiteral("Select ELF File"));
    EXPECT_EQ(filters,
              QStringList({QStringLiteral("Apps (*.elf)"), QStringLiteral("All files (*.*)")}));
    EXPECT_EQ(suffix, QStringLiteral("elf"));
}

// The listing view reads lines as it paints them: half a million lines open
// and scroll at once.
TEST_F(WindowActions, AListingOfHalfAMillionLinesOpensAndScrollsWithoutDelay) {
    constexpr int kLines = 500000;
    {
        std::ofstream out(dir.file("big.dis"), std::ios::binary);
        out << "\r\nbig.elf:     file format elf32-tradlittlemips\r\n\r\n\r\n"
               "Disassembly of section .text:\r\n\r\n9d000000 <big>:\r\n";
        char line[64];
        for (int i = 0; i < kLines; ++i) {
            std::snprintf(line, sizeof line, "%8x:\t00000000 \tnop\r\n", 0x9d000000U + 4U * i);
            out << line;
        }
    }
    store.writeText(keys::kDisFileName, dir.file("big.dis"));
    store.writeText(keys::kShowAllFunctions, "1");
    open();
    auto* listing = control<QListView>("listing");
    ASSERT_GT(listing->model()->rowCount(), kLines);

    QElapsedTimer shown;
    shown.start();
    window->show();
    QCoreApplication::processEvents();
    listing->scrollToBottom();
    QCoreApplication::processEvents();
    listing->verticalScrollBar()->setValue(listing->verticalScrollBar()->maximum() / 2);
    QCoreApplication::processEvents();
    listing->scrollToTop();
    QCoreApplication::processEvents();
    EXPECT_LT(shown.elapsed(), 1500);
    EXPECT_GT(listing->verticalScrollBar()->maximum(), kLines / 2);
}

} // namespace
} // namespace travonix::test
