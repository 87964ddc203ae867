#include "AppTestDoubles.h"

#include "app/QSettingsBackend.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>

#include <filesystem>
#include <fstream>

namespace travonix::test {
namespace {

using Keys = std::vector<StoredKey>;

const Keys kStartUpReads = {{"Paths", "ELFFileName"},
                            {"Paths", "DISFileName"},
                            {"Internals", "DisAsmCmd"},
                            {"Paths", "PluginFolderName"},
                            {"Paths", "MergeCFunctionName"},
                            {"Settings", "MPLab"},
                            {"Settings", "MPLabX"},
                            {"Settings", "AutoLoadELF"},
                            {"Settings", "chkShowAllFuncs"},
                            {"Settings", "SelectAllFuncs"},
                            {"Settings", "MergePlugins"},
                            {"Settings", "SinglePluginFile"},
                            {"Settings", "IndividualPluginFiles"},
                            {"Settings", "AutoGeneratePlugin"},
                            {"Settings", "ShowMain"},
                            {"Settings", "SaveDisAsm"},
                            {"Settings", "AutoCheck"},
                            {"Settings", "PositionIndependent"}};

const Keys kExitWrites = {{"Paths", "ELFFileName"},
                          {"Paths", "DISFileName"},
                          {"Paths", "PluginFolderName"},
                          {"Paths", "MergeCFunctionName"},
                          {"Settings", "SelectAllFuncs"},
                          {"Settings", "AutoLoadELF"},
                          {"Settings", "AutoGeneratePlugin"},
                          {"Settings", "IndividualPluginFiles"},
                          {"Settings", "SinglePluginFile"},
                          {"Settings", "MergePlugins"},
                          {"Settings", "MPLab"},
                          {"Settings", "MPLabX"},
                          {"Internals", "DisAsmCmd"},
                          {"Settings", "ShowMain"},
                          {"Settings", "SaveDisAsm"},
                          {"Settings", "AutoCheck"},
                          {"Settings", "PositionIndependent"}};

// Every stored option away from its first-run value, set as the user would.
void changeEveryOption(AppUnderTest& t) {
    Options& o = t.app.editOptions();
    o.elfPath = "C:\\work dir\\demo.elf";
    o.listingPath = "C:\\work dir\\demo.dis";
    o.conversion.outputFolder = "C:\\out, \"quoted\"; #not a comment = x";
    t.app.setMergedNameText("Merged");
    t.app.selectToolchain(Toolchain::MPLabX); // reports the missing ELF file
    t.app.setAutoLoadElf(true);
    t.app.setSelectAll(true);
    t.app.selectOutputMode(OutputMode::Merged);
    t.app.setAutoGenerate(true);
    t.app.setKeepListingCopy(true);
    t.app.setAutoCheck(true);
    t.app.setShowAllFunctions(true);
    t.app.setPositionIndependent(true);
}

TEST(SettingsStore, EmptyStoreGivesTheFirstRunOptions) {
    SettingsLog log;
    SettingsStore store = recordingStore(log);
    AppUnderTest t;
    t.app.startUp(store);

    const Options& o = t.app.options();
    const Options first = defaultOptions();
    EXPECT_EQ(o.elfPath, first.elfPath);
    EXPECT_EQ(o.listingPath, first.listingPath);
    EXPECT_EQ(o.disassemblerCommand, "pic32-objdump.exe -D -z");
    EXPECT_EQ(o.toolchain, Toolchain::None);
    EXPECT_EQ(o.conversion.mode, OutputMode::IndividualFiles);
    EXPECT_EQ(o.conversion.outputFolder, "");
    EXPECT_EQ(o.conversion.mergedName, "");
    EXPECT_FALSE(o.autoLoadElf || o.autoGenerate || o.autoCheck || o.conversion.selectAll ||
                 o.conversion.includeMain || o.conversion.keepListingCopy ||
                 o.conversion.fullReading);
    EXPECT_TRUE(t.ui.messages.empty());
}

TEST(SettingsStore, StartUpReadsInItsOrderAndExitWritesTheSeventeenKeysInTheirs) {
    SettingsLog log;
    SettingsStore store = recordingStore(log);
    AppUnderTest t;
    t.app.startUp(store);
    EXPECT_EQ(log.reads, kStartUpReads);
    EXPECT_TRUE(log.writes.empty()) << "start-up must not write the store";

    t.app.saveAtUnload(store);
    EXPECT_EQ(log.writes, (Keys{{"Settings", "chkShowAllFuncs"}}));
    log.writes.clear();
    t.app.saveAtEnd(store);
    EXPECT_EQ(log.writes, kExitWrites);
    EXPECT_EQ(log.reads.size(), kStartUpReads.size()) << "the saves read nothing";
}

TEST(SettingsStore, ExitWritesBooleansAsWordsAndTheShowAllStateAsADigit) {
    SettingsLog log;
    SettingsStore store = recordingStore(log);
    AppUnderTest t;
    changeEveryOption(t);
    t.app.saveAtUnload(store);
    t.app.saveAtEnd(store);
    const auto value = [&](const char* section, const char* key) {
        return log.values[{section, key}];
    };
    EXPECT_EQ(value("Settings", "chkShowAllFuncs"), "1");
    EXPECT_EQ(value("Paths", "MergeCFunctionName"), "Merged");
    EXPECT_EQ(value("Internals", "DisAsmCmd"), "xc32-objdump.exe -D -z ");
    for (const char* on :
         {"MPLabX", "AutoLoadELF", "SelectAllFuncs", "MergePlugins", "AutoGeneratePlugin",
          "ShowMain", "SaveDisAsm", "AutoCheck", "PositionIndependent"})
        EXPECT_EQ(value("Settings", on), "True") << on;
    for (const char* off : {"MPLab", "SinglePluginFile", "IndividualPluginFiles"})
        EXPECT_EQ(value("Settings", off), "False") << off;

    t.app.setShowAllFunctions(false);
    t.app.saveAtUnload(store);
    EXPECT_EQ(value("Settings", "chkShowAllFuncs"), "0");
}

// A stored boolean that cannot be converted leaves the member as it was
// before start-up; one that can sets it, whatever it was.
TEST(SettingsStore, BooleanTextThatCannotBeConvertedLeavesTheMember) {
    struct Case {
        const char* stored;
        std::optional<bool> value;
    };
    const Case cases[] = {{"1", true},        {"-1", true},     {"0", false},
                          {"true", true},     {"FALSE", false}, {"yes", std::nullopt},
                          {"", std::nullopt}, {" 2.5 ", true},  {"&H0", false}};
    for (const Case& c : cases) {
        for (const bool before : {false, true}) {
            SCOPED_TRACE(std::string("\"") + c.stored + "\" over " + (before ? "true" : "false"));
            SettingsLog log;
            for (const SettingKey* key :
                 {&keys::kKeepListingCopy, &keys::kAutoCheck, &keys::kMPLab})
                log.values[storedKey(*key)] = c.stored;
            SettingsStore store = recordingStore(log);
            AppUnderTest t;
            t.app.editOptions().conversion.keepListingCopy = before;
            t.app.editOptions().autoCheck = before;
            t.app.startUp(store);
            const bool after = c.value.value_or(before);
            EXPECT_EQ(t.app.options().conversion.keepListingCopy, after);
            EXPECT_EQ(t.app.options().autoCheck, after);
            // Only a stored value that converts to true chooses MPLab.
            EXPECT_EQ(t.app.options().toolchain,
                      c.value == true ? Toolchain::MPLab : Toolchain::None);
        }
    }
}

// The absent-key value True of IndividualPluginFiles does not apply to a
// present key that cannot be converted.
TEST(SettingsStore, UnconvertibleOutputTypeKeepsTheModeItHad) {
    SettingsLog log;
    log.values[storedKey(keys::kIndividualFiles)] = "";
    SettingsStore store = recordingStore(log);
    AppUnderTest t;
    t.app.editOptions().conversion.mode = OutputMode::Merged;
    t.app.startUp(store);
    EXPECT_EQ(t.app.options().conversion.mode, OutputMode::Merged);
}

TEST(SettingsStore, ZeroWordsRuleRunsOnceOnTheStoredCommand) {
    struct Case {
        const char* stored;
        const char* loaded;
    };
    const Case cases[] = {
        {"", " -z "},
        {"xc32-objdump.exe -D", "xc32-objdump.exe -D -z "},
        {"pic32-objdump.exe -D -Z", "pic32-objdump.exe -D -Z -z "},
        {"C:\\my-zip tools\\pic32-objdump.exe -D", "C:\\my-zip tools\\pic32-objdump.exe -D"}};
    for (const Case& c : cases) {
        SettingsLog log;
        log.values[{"Internals", "DisAsmCmd"}] = c.stored;
        SettingsStore store = recordingStore(log);
        AppUnderTest t;
        t.app.startUp(store);
        EXPECT_EQ(t.app.options().disassemblerCommand, c.loaded) << '"' << c.stored << '"';
    }
}

TEST(SettingsStore, CheckStateOutsideTheThreeStatesIsNotApplied) {
    struct Case {
        const char* stored;
        std::optional<int> state;
        bool ticked;
    };
    const Case cases[] = {{"3", std::nullopt, false},
                          {"-1", std::nullopt, false},
                          {"x", std::nullopt, false},
                          {"", std::nullopt, false},
                          {"1.5", std::nullopt, false},
                          {"0", 0, false},
                          {"1", 1, true},
                          {"2", 2, true}};
    for (const Case& c : cases) {
        SettingsLog log;
        log.values[{"Settings", "chkShowAllFuncs"}] = c.stored;
        SettingsStore store = recordingStore(log);
        EXPECT_EQ(store.readCheckState(keys::kShowAllFunctions), c.state) << c.stored;
        AppUnderTest t;
        t.app.startUp(store);
        EXPECT_EQ(t.app.options().conversion.fullReading, c.ticked) << '"' << c.stored << '"';
    }
}

TEST(SettingsStore, MergedNameIsReadAsStoredAndTrimmedOnlyIntoTheOption) {
    SettingsLog log;
    log.values[{"Paths", "MergeCFunctionName"}] = "  Blink  ";
    SettingsStore store = recordingStore(log);
    EXPECT_EQ(store.readText(keys::kMergedName), "  Blink  ");
    AppUnderTest t;
    t.app.startUp(store);
    EXPECT_EQ(t.app.options().conversion.mergedName, "Blink");
}

TEST(SettingsStore, AFailedStepIsSkippedAndTheNextOneRuns) {
    SettingsLog log;
    log.values[{"Paths", "ELFFileName"}] = "stored.elf";
    log.values[{"Settings", "MPLab"}] = "True";
    log.values[{"Settings", "MPLabX"}] = "True";
    log.failingReads = {
        {"Paths", "ELFFileName"}, {"Settings", "MPLab"}, {"Internals", "DisAsmCmd"}};
    SettingsStore store = recordingStore(log);
    AppUnderTest t;
    t.app.editOptions().elfPath = "kept.elf";
    t.app.editOptions().disassemblerCommand = "kept-objdump -D";
    t.app.startUp(store);
    EXPECT_EQ(t.app.options().elfPath, "kept.elf");
    // MPLab could not be read, so nothing was disassembled; MPLabX holds.
    EXPECT_EQ(t.app.options().toolchain, Toolchain::MPLabX);
    EXPECT_TRUE(t.disassembler.commands.empty());
    EXPECT_TRUE(t.ui.messages.empty());
    // The "-z" rule is a step of its own and still runs.
    EXPECT_EQ(t.app.options().disassemblerCommand, "kept-objdump -D -z ");
    EXPECT_EQ(log.reads, kStartUpReads);

    log.failingWrites = {{"Paths", "ELFFileName"}, {"Settings", "MPLab"}};
    t.app.setAutoCheck(true);
    t.app.saveAtEnd(store);
    EXPECT_EQ(log.writes, kExitWrites);
    EXPECT_EQ(log.values[(StoredKey{"Paths", "ELFFileName"})], "stored.elf");
    EXPECT_EQ(log.values[(StoredKey{"Settings", "MPLab"})], "True");
    EXPECT_EQ(log.values[(StoredKey{"Settings", "AutoCheck"})], "True");
    EXPECT_FALSE(store.writeText(keys::kMPLab, "False"));
    EXPECT_TRUE(store.writeText(keys::kMPLabX, "False"));
    EXPECT_FALSE(store.writeBool(keys::kMPLab, false));
}

// ---- the real store, in a temporary folder -----------------------------

TEST(SettingsStoreOnQSettings, KeepsEveryValueAsText) {
    TempDir dir;
    const std::string ini = dir.file("Travonix.ini");
    const std::string awkward = "C:\\out, \"quoted\"; #not a comment = x";
    {
        SettingsStore store = SettingsStore::atFile(ini);
        EXPECT_EQ(store.readText(keys::kDisassemblerCommand), "pic32-objdump.exe -D -z");
        EXPECT_EQ(store.readBool(keys::kIndividualFiles), true);
        EXPECT_EQ(store.readBool(keys::kMPLab), false);
        EXPECT_EQ(store.readCheckState(keys::kShowAllFunctions), 0);
        EXPECT_TRUE(store.writeText(keys::kOutputFolder, awkward));
        EXPECT_TRUE(store.writeBool(keys::kMPLabX, true));
        EXPECT_TRUE(store.writeText(keys::kShowAllFunctions, "1"));
    }
    SettingsStore again = SettingsStore::atFile(ini);
    EXPECT_EQ(again.readText(keys::kOutputFolder), awkward);
    EXPECT_EQ(again.readBool(keys::kMPLabX), true);
    EXPECT_EQ(again.readCheckState(keys::kShowAllFunctions), 1);

    QSettings raw(QString::fromStdString(ini), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Settings/MPLabX").toString(), "True");
    EXPECT_EQ(raw.value("Settings/chkShowAllFuncs").toString(), "1");
    EXPECT_EQ(raw.allKeys().size(), 3);
}

TEST(SettingsStoreOnQSettings, ExitWritesSeventeenKeysUnderTheirSections) {
    TempDir dir;
    const std::string ini = dir.file("Travonix.ini");
    {
        SettingsStore store = SettingsStore::atFile(ini);
        AppUnderTest t;
        t.app.startUp(store);
        t.app.saveAtUnload(store);
        t.app.saveAtEnd(store);
    }
    QSettings raw(QString::fromStdString(ini), QSettings::IniFormat);
    QStringList expected;
    for (const StoredKey& key : kExitWrites)
        expected << QString::fromStdString(key.first + "/" + key.second);
    expected << QStringLiteral("Settings/chkShowAllFuncs");
    expected.sort();
    QStringList stored = raw.allKeys();
    stored.sort();
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(raw.value("Settings/IndividualPluginFiles").toString(), "True");
    EXPECT_EQ(raw.value("Settings/MergePlugins").toString(), "False");
    EXPECT_EQ(raw.value("Internals/DisAsmCmd").toString(), "pic32-objdump.exe -D -z");
    EXPECT_EQ(raw.value("Settings/chkShowAllFuncs").toString(), "0");
}

TEST(SettingsStoreOnQSettings, AnEmptyStoredValueIsNotTheAbsentOne) {
    TempDir dir;
    const std::string ini = dir.file("Travonix.ini");
    SettingsStore store = SettingsStore::atFile(ini);
    store.writeText(keys::kDisassemblerCommand, "");
    store.writeText(keys::kIndividualFiles, "");
    EXPECT_EQ(store.readText(keys::kDisassemblerCommand), "");
    EXPECT_EQ(store.readBool(keys::kIndividualFiles), std::nullopt);
    const SettingKey missing{"Internals", "Missing", "absent"};
    EXPECT_EQ(store.readText(missing), "absent");

    SettingsStore again = SettingsStore::atFile(ini);
    AppUnderTest t;
    t.app.editOptions().conversion.mode = OutputMode::SingleFile;
    t.app.startUp(again);
    EXPECT_EQ(t.app.options().disassemblerCommand, " -z ");
    // Item 1 was deselected by the absent "SinglePluginFile", and the empty
    // "IndividualPluginFiles" selects nothing: the mode stays as it was.
    EXPECT_EQ(t.app.options().conversion.mode, OutputMode::SingleFile);
}

TEST(SettingsStoreOnQSettings, AStoreThatCannotBeWrittenFailsQuietly) {
    TempDir dir;
    // A path below a regular file can never be created.
    std::ofstream(dir.file("file")) << "x";
    SettingsStore store = SettingsStore::atFile(dir.file("file/sub/Travonix.ini"));
    AppUnderTest t;
    t.app.startUp(store);
    EXPECT_EQ(t.app.options().disassemblerCommand, "pic32-objdump.exe -D -z");

    EXPECT_FALSE(store.writeText(keys::kMPLab, "True"));
    EXPECT_FALSE(store.writeBool(keys::kAutoCheck, true));
    t.app.saveAtUnload(store); // no throw, no message
    t.app.saveAtEnd(store);
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_TRUE(t.ui.statusLines.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("file/sub")));
}

} // namespace
} // namespace travonix::test
