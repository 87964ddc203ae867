#include "WindowHarness.h"

#include "app/WindowText.h"

#include <QtCore/QFile>
#include <QtTest/QTest>
#include <QtWidgets/QListView>
#include <QtWidgets/QPushButton>

#include <filesystem>
#include <fstream>
#include <utility>

namespace travonix::test {

namespace {

bool visible(QWidget* parent) {
    return parent != nullptr && parent->window()->isVisible();
}

template <typename Item> Item takeFront(std::deque<Item>& script, const char* what) {
    if (script.empty()) {
        ADD_FAILURE() << "unscripted " << what;
        return Item{};
    }
    // Swapped out rather than move-constructed: gcc 12 at -O2 takes a moved
    // std::optional<QString> for one that may be uninitialised.
    Item front{};
    std::swap(front, script.front());
    script.pop_front();
    return front;
}

} // namespace

void ScriptedDialogs::showMessage(QWidget* parent, const QString& text, const QString& title) {
    messages.push_back({bytesOf(text), bytesOf(title), visible(parent), false});
}

bool ScriptedDialogs::offerAction(QWidget* parent, const QString& text, const QString& title,
                                  const QString& action) {
    messages.push_back({bytesOf(text), bytesOf(title), visible(parent), false});
    offeredActions.push_back(bytesOf(action));
    return takeFront(actionAnswers, "box with an action");
}

bool ScriptedDialogs::askYesNo(QWidget* parent, const QString& text, const QString& title,
                               bool yesIsDefault) {
    questions.push_back({bytesOf(text), bytesOf(title), visible(parent), yesIsDefault});
    return takeFront(answers, "question");
}

std::optional<QString> ScriptedDialogs::askText(QWidget*, const QString&, const QString&,
                                                const QString&) {
    return takeFront(textAnswers, "input box");
}

QString ScriptedDialogs::chooseElfFile(QWidget*) {
    return takeFront(elfChoices, "ELF file dialog");
}

QString ScriptedDialogs::chooseFolder(QWidget*, const QString& title, const QString& startFolder) {
    folderTitles.push_back(bytesOf(title));
    folderStarts.push_back(startFolder);
    return takeFront(folderChoices, "folder dialog");
}

QString ScriptedDialogs::chooseProgram(QWidget*) {
    return takeFront(programChoices, "program dialog");
}

WindowTest::~WindowTest() {
    window.reset();
}

MainWindow& WindowTest::open() {
    window = std::make_unique<MainWindow>(
        WindowServices{store, dialogs, environment, runner, programFolder});
    if (searchPath)
        window->lookForDisassemblers(*searchPath);
    window->startUp();
    return *window;
}

std::string WindowTest::copyOfDemoElf() {
    const std::string path = dir.file("demo.elf");
    std::filesystem::copy_file(examplePath("demo.elf"), path,
                               std::filesystem::copy_options::overwrite_existing);
    return path;
}

void WindowTest::useDisassembler(const std::string& scriptBody) {
    const std::string script = dir.file("objdump.sh");
    {
        std::ofstream out(script, std::ios::binary);
        out << "#!/bin/sh\n" << scriptBody << "\n";
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    store.writeText(keys::kDisassemblerCommand, script);
}

void WindowTest::useDemoDisassembler() {
    useDisassembler("echo run >> '" + dir.file("runs") + "'\ncat '" + examplePath("demo.dis") +
                    "'");
}

int WindowTest::disassemblerRuns() const {
    std::ifstream in(dir.file("runs"));
    int runs = 0;
    for (std::string line; std::getline(in, line);)
        ++runs;
    return runs;
}

void WindowTest::storeDemoPaths() {
    std::filesystem::create_directory(dir.file("out"));
    store.writeText(keys::kElfFileName, copyOfDemoElf());
    store.writeText(keys::kDisFileName, dir.file("demo.dis"));
    store.writeText(keys::kOutputFolder, dir.file("out"));
    store.writeBool(keys::kSelectAll, true);
    useDemoDisassembler();
}

MainWindow& WindowTest::openWithDemoLoaded() {
    storeDemoPaths();
    open();
    control<QPushButton>("refresh")->click();
    waitForDisassembly();
    EXPECT_GT(window->orchestrator().session().functions.size(), 0U);
    return *window;
}

void WindowTest::waitForDisassembly() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->jobRunning(); }, 20000));
    // The outcome is applied on the window's thread once the worker is done.
    QCoreApplication::processEvents();
}

std::vector<std::string> WindowTest::shownLines(const char* listName) {
    std::vector<std::string> lines;
    // A table's row is its cells two blanks apart.
    const QAbstractItemModel* model = control<QAbstractItemView>(listName)->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        lines.push_back(bytesOf(cells.join(QStringLiteral("  "))));
    }
    return lines;
}

} // namespace travonix::test
