#include "AppTestDoubles.h"

#include "core/ListingReader.h"
#include "support/Fixtures.h"
#include "support/ListingText.h"
#include "support/OutputModeNames.h"

#include <gtest/gtest.h>

#include <ostream>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

const char* const kListingPath = "C:\\work\\calls.dis";
const char* const kListingFolder = "C:\\work\\";
const char* const kElfPath = "C:\\work\\calls.elf";
const char* const kNoElfMessage = "No .ELF file specified, use .ELF button to pick a .ELF file";

const std::string& callsListing() {
    static const std::string text = readWholeFile(fixturePath("calls.dis"));
    return text;
}

// The functions a read of the fixture lists with these options.
Texts functionsRead(bool includeMain, bool fullReading) {
    return namesOf(readListing(callsListing(), {includeMain, true, fullReading}).functions);
}

std::vector<bool> selectionOf(const std::vector<FunctionEntry>& functions) {
    std::vector<bool> selected;
    for (const FunctionEntry& f : functions)
        selected.push_back(f.selected);
    return selected;
}

using StoredValues = std::vector<std::pair<SettingKey, std::string>>;

// Writes the values into a fresh store file, as an earlier run left them.
void storeValues(const std::string& ini, const StoredValues& values) {
    SettingsStore store = SettingsStore::atFile(ini);
    for (const auto& [key, text] : values)
        ASSERT_TRUE(store.writeText(key, text)) << key.key;
}

// What a start from a store leaves; each field's default is what an empty
// store gives.
struct StartUpCase {
    const char* name;
    StoredValues stored = {};
    Toolchain toolchain = Toolchain::None;
    std::string command = "pic32-objdump.exe -D -z";
    OutputMode mode = OutputMode::IndividualFiles;
    std::string mergedName = {};
    bool includeMain = false;
    bool fullReading = false;
    bool selectAll = false;
    bool autoGenerate = false;
    bool autoCheck = false;
    bool watcherRunning = false;
    bool autoGenerateShown = true; // in view whatever "AutoCheck ELF" says
    bool listingRead = false;
    Texts messages = {};
};

void PrintTo(const StartUpCase& c, std::ostream* out) {
    *out << c.name;
}

const StartUpCase kStartUps[] = {
    {.name = "EmptyStore", .stored = {}},
    {.name = "MPLabWithoutElf",
     .stored = {{keys::kMPLab, "True"}},
     .toolchain = Toolchain::MPLab,
     .command = "pic32-objdump.exe -D -z ",
     .messages = {kNoElfMessage}},
    {.name = "MPLabXAlone",
     .stored = {{keys::kMPLab, "False"},
                {keys::kMPLabX, "True"},
                {keys::kDisassemblerCommand, "xc32-objdump.exe -D"}},
     .toolchain = Toolchain::MPLabX,
     .command = "xc32-objdump.exe -D -z "},
    // MPLab is chosen first, so MPLabX changes the choice again: two runs.
    {.name = "MPLabThenMPLabX",
     .stored = {{keys::kMPLab, "True"}, {keys::kMPLabX, "True"}},
     .toolchain = Toolchain::MPLabX,
     .command = "xc32-objdump.exe -D -z ",
     .messages = {kNoElfMessage, kNoElfMessage}},
    {.name = "MergeWithoutMain",
     .stored = {{keys::kDisFileName, kListingPath},
                {keys::kOutputFolder, "C:\\out"},
                {keys::kMergedName, "  Blk  "},
                {keys::kSelectAll, "True"},
                {keys::kMerge, "True"},
                {keys::kIndividualFiles, "False"},
                {keys::kIncludeMain, "False"}},
     .mode = OutputMode::Merged,
     .mergedName = "Blk",
     .selectAll = true,
     .listingRead = true},
    // "Include main()" comes after the output type, so it has the last word.
    {.name = "MergeWithMain",
     .stored = {{keys::kDisFileName, kListingPath},
                {keys::kOutputFolder, "C:\\out"},
                {keys::kMergedName, "Blk"},
                {keys::kSelectAll, "True"},
                {keys::kMerge, "True"},
                {keys::kIndividualFiles, "False"},
                {keys::kIncludeMain, "True"}},
     .mode = OutputMode::Merged,
     .mergedName = "Blk",
     .includeMain = true,
     .selectAll = true,
     .listingRead = true},
    // The window opens with "Single CFunc File": restoring it is no click.
    {.name = "SingleFileKeepsIncludeMain",
     .stored = {{keys::kDisFileName, kListingPath},
                {keys::kSingleFile, "True"},
                {keys::kIndividualFiles, "False"},
                {keys::kIncludeMain, "True"}},
     .mode = OutputMode::SingleFile,
     .includeMain = true,
     .listingRead = true},
    {.name = "ShowAllFunctions",
     .stored = {{keys::kDisFileName, kListingPath}, {keys::kShowAllFunctions, "1"}},
     .fullReading = true,
     .listingRead = true},
    {.name = "SelectAll", .stored = {{keys::kSelectAll, "True"}}, .selectAll = true},
    {.name = "AutoCheck",
     .stored = {{keys::kAutoCheck, "True"}},
     .autoCheck = true,
     .watcherRunning = true,
     .autoGenerateShown = true},
    // "Auto Generate" starts the watcher, but "AutoCheck ELF" decides last.
    {.name = "AutoGenerateWithoutAutoCheck",
     .stored = {{keys::kAutoGenerate, "True"}},
     .autoGenerate = true},
    {.name = "AutoGenerateWithAutoCheck",
     .stored = {{keys::kAutoGenerate, "True"}, {keys::kAutoCheck, "True"}},
     .autoGenerate = true,
     .autoCheck = true,
     .watcherRunning = true,
     .autoGenerateShown = true},
};

class StartUpFromStore : public ::testing::TestWithParam<StartUpCase> {};

TEST_P(StartUpFromStore, AppliesTheStoredOptionsInOrder) {
    const StartUpCase& c = GetParam();
    TempDir dir;
    storeValues(dir.file("Travonix.ini"), c.stored);
    AppUnderTest t;
    t.env.files[kListingPath] = callsListing();
    SettingsStore store = SettingsStore::atFile(dir.file("Travonix.ini"));

    t.app.startUp(store);

    const Options& o = t.app.options();
    EXPECT_EQ(o.toolchain, c.toolchain);
    EXPECT_EQ(o.disassemblerCommand, c.command);
    EXPECT_EQ(o.conversion.mode, c.mode);
    EXPECT_EQ(o.conversion.mergedName, c.mergedName);
    EXPECT_EQ(o.conversion.includeMain, c.includeMain);
    EXPECT_EQ(o.conversion.fullReading, c.fullReading);
    EXPECT_EQ(o.conversion.selectAll, c.selectAll);
    EXPECT_EQ(o.autoGenerate, c.autoGenerate);
    EXPECT_EQ(o.autoCheck, c.autoCheck);
    EXPECT_FALSE(o.autoLoadElf);
    EXPECT_EQ(t.app.controls().watcherRunning, c.watcherRunning);
    EXPECT_EQ(t.app.controls().autoGenerateShown, c.autoGenerateShown);
    EXPECT_EQ(t.app.controls().listingToolTip, "Disassembly of .ELF");
    EXPECT_EQ(t.app.lastElfTime(), "");

    Texts messages;
    for (const auto& shown : t.ui.messages) {
        messages.push_back(shown.text);
        EXPECT_EQ(shown.title, "Travonix");
    }
    EXPECT_EQ(messages, c.messages);

    const auto& functions = t.app.session().functions;
    EXPECT_EQ(namesOf(functions),
              c.listingRead ? functionsRead(c.includeMain, c.fullReading) : Texts{});
    EXPECT_EQ(selectionOf(functions), std::vector<bool>(functions.size(), c.selectAll));
    // Nothing is made while loading, and no ELF file means no disassembler.
    EXPECT_TRUE(t.env.writes.empty());
    EXPECT_TRUE(t.disassembler.commands.empty());
}

INSTANTIATE_TEST_SUITE_P(Stored, StartUpFromStore, ::testing::ValuesIn(kStartUps),
                         [](const ::testing::TestParamInfo<StartUpCase>& info) {
                             return std::string(info.param.name);
                         });

class StartUp : public ::testing::Test, public AppUnderTest {
  protected:
    StartUp() {
        env.files[kListingPath] = callsListing();
        env.files[kElfPath] = "\x7f"
                              "ELF";
        env.modified[kElfPath] = "2026-12-01 08:00:00";
        disassembler.listingText = callsListing();
    }
    void startFrom(const StoredValues& values) {
        storeValues(dir.file("Travonix.ini"), values);
        SettingsStore store = SettingsStore::atFile(dir.file("Travonix.ini"));
        app.startUp(store);
    }
    TempDir dir;
};

// A re-read set off by "Include main()" after "Auto Generate" was restored
// generates during start-up, silently, exactly what a later make writes.
TEST_F(StartUp, AutoGenerateWithIncludeMainGeneratesDuringStartUp) {
    startFrom({{keys::kDisFileName, kListingPath},
               {keys::kOutputFolder, "C:\\out"},
               {keys::kSelectAll, "True"},
               {keys::kAutoGenerate, "True"},
               {keys::kIncludeMain, "True"}});

    Texts expected;
    for (const std::string& name : functionsRead(true, false))
        expected.push_back("C:\\out\\" + name + ".bas");
    ASSERT_EQ(env.writes, expected);
    EXPECT_NE(std::find(expected.begin(), expected.end(), "C:\\out\\main.bas"), expected.end());
    for (const auto& shown : ui.messages)
        EXPECT_NE(shown.title, "Travonix Maker") << shown.text;
    EXPECT_FALSE(ui.clipboard.value_or("").empty());
    EXPECT_TRUE(disassembler.commands.empty());

    const auto written = env.files;
    env.writes.clear();
    app.makeCFunctions();
    EXPECT_EQ(env.writes, expected);
    EXPECT_EQ(env.files, written);
}

TEST_F(StartUp, AutoLoadElfDisassemblesOnceLoadingIsOver) {
    // The ELF file's time is the last stored option noted: a run that sees
    // it comes after every option was applied.
    Texts elfTimeWhileRunning;
    disassembler.whileRunning = [&] { elfTimeWhileRunning.push_back(app.lastElfTime()); };
    startFrom({{keys::kElfFileName, kElfPath},
               {keys::kDisFileName, kListingPath},
               {keys::kSelectAll, "True"},
               {keys::kAutoLoadElf, "True"}});

    EXPECT_EQ(elfTimeWhileRunning, Texts{"2026-12-01 08:00:00"});
    ASSERT_EQ(disassembler.commands.size(), 1u);
    const ProcessCommand& run = disassembler.commands[0];
    EXPECT_EQ(run.arguments, (Texts{"pic32-objdump.exe", "-D", "-z", kElfPath}));
    // objdump writes into a file made fresh beside the listing.
    ASSERT_EQ(env.createdBeside.size(), 1u);
    EXPECT_EQ(run.standardOutputFile, env.createdBeside[0]);
    EXPECT_EQ(run.standardOutputFile.rfind(kListingFolder, 0), 0u) << run.standardOutputFile;
    EXPECT_EQ(disassembler.windowStyles, std::vector<std::int32_t>{kMinimizedNoFocus});
    EXPECT_EQ(env.files.count(run.standardOutputFile), 0u);
    EXPECT_EQ(namesOf(app.session().functions), functionsRead(false, false));
    EXPECT_EQ(app.lastElfTime(), "2026-12-01 08:00:00");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StartUp, WithoutAutoLoadElfNothingIsDisassembled) {
    startFrom({{keys::kElfFileName, kElfPath},
               {keys::kDisFileName, kListingPath},
               {keys::kAutoLoadElf, "False"}});
    EXPECT_TRUE(disassembler.commands.empty());
    EXPECT_TRUE(app.session().functions.empty());
    // The ELF file's time is still noted, for the watcher.
    EXPECT_EQ(app.lastElfTime(), "2026-12-01 08:00:00");
}

// Restoring MPLab disassembles at once, with the paths read so far and
// whatever "Auto Load .ELF" says; the automatic load then runs once more.
TEST_F(StartUp, StoredMPLabDisassemblesWhileLoading) {
    Texts elfTimeWhileRunning;
    disassembler.whileRunning = [&] { elfTimeWhileRunning.push_back(app.lastElfTime()); };
    startFrom({{keys::kElfFileName, kElfPath},
               {keys::kDisFileName, kListingPath},
               {keys::kMPLab, "True"},
               {keys::kAutoLoadElf, "True"}});

    EXPECT_EQ(elfTimeWhileRunning, (Texts{"", "2026-12-01 08:00:00"}));
    ASSERT_EQ(disassembler.commands.size(), 2u);
    EXPECT_EQ(disassembler.commands[0].arguments,
              (Texts{"pic32-objdump.exe", "-D", "-z", kElfPath}));
    EXPECT_EQ(disassembler.commands[0].commandLine, "cmd.exe /C pic32-objdump.exe -D -z  \"" +
                                                        std::string(kElfPath) + "\" >\"" +
                                                        env.createdBeside[0] + "\"");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StartUp, MissingElfFileLeavesTheLastTimeEmpty) {
    env.files.erase(kElfPath);
    startFrom({{keys::kElfFileName, kElfPath}});
    EXPECT_EQ(app.lastElfTime(), "");
    EXPECT_EQ(app.options().elfPath, kElfPath);
}

// ---- the saves at exit, read by the next start -------------------------

void expectSameStoredOptions(const Options& a, const Options& b) {
    EXPECT_EQ(a.elfPath, b.elfPath);
    EXPECT_EQ(a.listingPath, b.listingPath);
    EXPECT_EQ(a.disassemblerCommand, b.disassemblerCommand);
    EXPECT_EQ(a.toolchain, b.toolchain);
    EXPECT_EQ(a.autoLoadElf, b.autoLoadElf);
    EXPECT_EQ(a.autoGenerate, b.autoGenerate);
    EXPECT_EQ(a.autoCheck, b.autoCheck);
    EXPECT_EQ(a.conversion.mode, b.conversion.mode);
    EXPECT_EQ(a.conversion.mergedName, b.conversion.mergedName);
    EXPECT_EQ(a.conversion.outputFolder, b.conversion.outputFolder);
    EXPECT_EQ(a.conversion.includeMain, b.conversion.includeMain);
    EXPECT_EQ(a.conversion.fullReading, b.conversion.fullReading);
    EXPECT_EQ(a.conversion.selectAll, b.conversion.selectAll);
    EXPECT_EQ(a.conversion.keepListingCopy, b.conversion.keepListingCopy);
}

class SavesAtExit : public ::testing::TestWithParam<OutputMode> {};

TEST_P(SavesAtExit, AreWhatTheNextStartRestores) {
    TempDir dir;
    const std::string ini = dir.file("Travonix.ini");
    const std::string elf = "C:\\proj\\demo.elf";
    const auto prepare = [&](AppUnderTest& t) {
        t.env.files[elf] = "\x7f"
                           "ELF";
        t.disassembler.listingText = callsListing();
    };

    AppUnderTest first;
    prepare(first);
    {
        SettingsStore store = SettingsStore::atFile(ini);
        first.app.startUp(store);
        first.app.elfChosen(elf);
        first.app.selectToolchain(Toolchain::MPLab);
        first.app.setMergedNameText("  Blk ");
        first.app.setSelectAll(true);
        first.app.selectOutputMode(GetParam());
        first.app.setShowAllFunctions(true);
        first.app.setAutoCheck(true);
        first.app.setAutoLoadElf(true);
        first.app.setKeepListingCopy(true);
        first.app.saveAtUnload(store);
        first.app.saveAtEnd(store);
    }
    ASSERT_EQ(first.app.options().listingPath, "C:\\proj\\demo.dis");
    ASSERT_EQ(first.app.options().conversion.outputFolder, "C:\\proj");

    AppUnderTest next;
    prepare(next);
    SettingsStore store = SettingsStore::atFile(ini);
    next.app.startUp(store);

    expectSameStoredOptions(next.app.options(), first.app.options());
    EXPECT_TRUE(next.app.controls().watcherRunning);
    EXPECT_TRUE(next.app.controls().autoGenerateShown);
    // Restoring MPLab and "Auto Load .ELF" each disassembled once.
    EXPECT_EQ(next.disassembler.commands.size(), 2u);
    EXPECT_EQ(namesOf(next.app.session().functions), namesOf(first.app.session().functions));
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SavesAtExit,
                         ::testing::Values(OutputMode::IndividualFiles, OutputMode::SingleFile,
                                           OutputMode::Merged),
                         [](const ::testing::TestParamInfo<OutputMode>& info) {
                             return outputModeName(info.param);
                         });

} // namespace
} // namespace travonix::test
