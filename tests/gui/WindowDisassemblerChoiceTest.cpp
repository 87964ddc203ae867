// The disassembler chosen in the window: "Other" with a typed or browsed
// command, and the objdump programs found on the search path offered when
// the stored one is not there.

#include "WindowHarness.h"

#include "app/WindowText.h"

#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>

#include <filesystem>
#include <fstream>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

class WindowDisassemblerChoice : public WindowTest {
  protected:
    QComboBox* commandField() { return control<QComboBox>("disassemblerCommand"); }
    std::string command() { return window->orchestrator().options().disassemblerCommand; }
    std::string script() { return dir.file("objdump.sh"); }

    // An executable file of that name in the folder "bin".
    void installProgram(const std::string& name) {
        fs::create_directories(dir.file("bin"));
        const std::string path = dir.file("bin/" + name);
        std::ofstream(path) << "#!/bin/sh\nexit 0\n";
        fs::permissions(path, fs::perms::owner_all);
    }
    std::vector<std::string> offered() {
        std::vector<std::string> items;
        for (int i = 0; i < commandField()->count(); ++i)
            items.push_back(bytesOf(commandField()->itemText(i)));
        return items;
    }
};

TEST_F(WindowDisassemblerChoice, ACommandTypedUnderOtherIsUsedAtOnceAndSaved) {
    storeDemoPaths();
    store.writeText(keys::kDisassemblerCommand, "no-such-objdump -D");
    open();
    EXPECT_EQ(disassemblerRuns(), 0);

    QLineEdit* typed = commandField()->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, shown(script() + " -D"));
    QTest::keyClick(typed, Qt::Key_Return);
    waitForDisassembly();

    EXPECT_EQ(disassemblerRuns(), 1);
    EXPECT_EQ(command(), script() + " -D -z ");
    EXPECT_TRUE(control<QAbstractButton>("otherDisassembler")->isChecked());
    EXPECT_FALSE(control<QAbstractButton>("mplabx")->isChecked());
    EXPECT_FALSE(shownLines("functions").empty());
    window->close();
    EXPECT_EQ(SettingsStore::atFile(settingsPath).readText(keys::kDisassemblerCommand),
              script() + " -D -z ");
}

TEST_F(WindowDisassemblerChoice, BrowseSetsTheChosenProgramWithItsOptions) {
    storeDemoPaths();
    open();
    dialogs.programChoices.push_back(shown(script()));
    control<QAbstractButton>("browseDisassembler")->click();
    waitForDisassembly();
    EXPECT_EQ(command(), script() + " -D -z");
    EXPECT_EQ(commandField()->currentText(), shown(script() + " -D -z"));
    EXPECT_EQ(disassemblerRuns(), 1);

    // Cancelled: nothing changes, nothing runs.
    dialogs.programChoices.push_back(QString());
    control<QAbstractButton>("browseDisassembler")->click();
    EXPECT_EQ(command(), script() + " -D -z");
    EXPECT_EQ(disassemblerRuns(), 1);
}

// A later vendor choice gives its command with "-z" and leaves "Other".
TEST_F(WindowDisassemblerChoice, AVendorChoiceAfterOtherTakesItsCommandWithZeroWords) {
    open();
    control<QAbstractButton>("mplabx")->click();
    waitForDisassembly();
    EXPECT_EQ(command(), "xc32-objdump.exe -D -z ");
    EXPECT_EQ(commandField()->currentText(), QStringLiteral("xc32-objdump.exe -D -z"));
    control<QAbstractButton>("otherDisassembler")->click();
    EXPECT_EQ(window->orchestrator().options().toolchain, Toolchain::None);
    EXPECT_EQ(command(), "xc32-objdump.exe -D -z ");
}

struct OfferCase {
    const char* name;
    std::vector<std::string> installed; // in the folder searched
    const char* stored;                 // DisAsmCmd; nullptr for a first start
    std::string command;                // in use after start-up ("{bin}" for the folder)
    std::vector<std::string> offered;
    bool toldWhy;
};

void PrintTo(const OfferCase& c, std::ostream* out) {
    *out << c.name;
}

const OfferCase kOffers[] = {
    {"FirstStartTakesTheFirstFound",
     {"mips-linux-gnu-objdump", "mipsel-linux-gnu-objdump"},
     nullptr,
     "mipsel-linux-gnu-objdump -D -z",
     {"mipsel-linux-gnu-objdump -D -z", "mips-linux-gnu-objdump -D -z"},
     true},
    {"TheVendorsComeFirst",
     {"mipsel-linux-gnu-objdump", "xc32-objdump"},
     "missing-objdump -D -z",
     "xc32-objdump -D -z",
     {"xc32-objdump -D -z", "mipsel-linux-gnu-objdump -D -z"},
     true},
    // The stored "pic32-objdump.exe" is found as "pic32-objdump": kept.
    {"AStoredProgramThatIsThereIsKept",
     {"pic32-objdump", "mipsel-linux-gnu-objdump"},
     "pic32-objdump.exe -D -z",
     "pic32-objdump.exe -D -z",
     {"pic32-objdump -D -z", "mipsel-linux-gnu-objdump -D -z"},
     false},
    {"NothingFoundKeepsTheStoredOne",
     {},
     "missing-objdump -D -z",
     "missing-objdump -D -z",
     {},
     false},
};

class DisassemblerOffers : public WindowDisassemblerChoice,
                           public ::testing::WithParamInterface<OfferCase> {};

TEST_P(DisassemblerOffers, OfferWhatTheSearchPathHolds) {
    const OfferCase& c = GetParam();
    fs::create_directories(dir.file("bin"));
    for (const std::string& name : c.installed)
        installProgram(name);
    if (c.stored != nullptr)
        store.writeText(keys::kDisassemblerCommand, c.stored);
    searchPath = dir.file("empty") + ":" + dir.file("bin");
    open();
    EXPECT_EQ(command(), c.command);
    EXPECT_EQ(offered(), c.offered);
    EXPECT_EQ(commandField()->currentText(), shown(c.command));
    const auto& history = window->findChild<QListView*>(QStringLiteral("messageList"))->model();
    bool told = false;
    for (int row = 0; row < history->rowCount(); ++row)
        told = told || history->index(row, 0).data().toString().contains(
                           QStringLiteral("not found; using ") + shown(c.command));
    EXPECT_EQ(told, c.toldWhy);
    EXPECT_TRUE(dialogs.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(SearchPath, DisassemblerOffers, ::testing::ValuesIn(kOffers),
                         [](const ::testing::TestParamInfo<OfferCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace travonix::test
