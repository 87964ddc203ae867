#include "app/OptionsStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace travonix {
namespace {

using Key = std::pair<std::string, std::string>; // section, key

// An in-memory store that records every read and write in order and can be
// told to fail on chosen keys.
struct RecordingLog {
    std::map<Key, std::string> values;
    std::vector<Key> reads;
    std::vector<Key> writes;
    std::set<Key> failingReads;
    std::set<Key> failingWrites;
};

class RecordingBackend : public SettingsBackend {
  public:
    explicit RecordingBackend(RecordingLog& log) : log_(log) {}

    std::optional<std::string> read(const std::string& section, const std::string& key) override {
        log_.reads.emplace_back(section, key);
        if (log_.failingReads.count({section, key}))
            throw SettingsError("read failed");
        auto it = log_.values.find({section, key});
        if (it == log_.values.end())
            return std::nullopt;
        return it->second;
    }
    void write(const std::string& section, const std::string& key,
               const std::string& text) override {
        log_.writes.emplace_back(section, key);
        if (log_.failingWrites.count({section, key}))
            throw SettingsError("write failed");
        log_.values[{section, key}] = text;
    }

  private:
    RecordingLog& log_;
};

OptionsStore recordingStore(RecordingLog& log) {
    return OptionsStore(std::make_unique<RecordingBackend>(log));
}

// Every member set away from its first-run value.
AppOptions changedOptions() {
    AppOptions o;
    o.ELFFileName = "C:\\work dir\\demo.elf";
    o.DISFileName = "C:\\work dir\\demo.dis";
    o.PluginFolderName = "C:\\out, \"quoted\"; #not a comment = x";
    o.MergeCFunctionName = "Merged";
    o.DisAsmCmd = "xc32-objdump.exe -D";
    o.MPLabX = true;
    o.AutoLoadELF = true;
    o.SelectAllFuncs = true;
    o.MergePlugins = true;
    o.AutoGeneratePlugin = true;
    o.ShowMain = true;
    o.SaveDisAsm = true;
    o.AutoCheck = true;
    return o;
}

void expectSameStoredMembers(const AppOptions& a, const AppOptions& b) {
    EXPECT_EQ(a.ELFFileName, b.ELFFileName);
    EXPECT_EQ(a.DISFileName, b.DISFileName);
    EXPECT_EQ(a.PluginFolderName, b.PluginFolderName);
    EXPECT_EQ(a.MergeCFunctionName, b.MergeCFunctionName);
    EXPECT_EQ(a.DisAsmCmd, b.DisAsmCmd);
    EXPECT_EQ(a.MPLab, b.MPLab);
    EXPECT_EQ(a.MPLabX, b.MPLabX);
    EXPECT_EQ(a.AutoLoadELF, b.AutoLoadELF);
    EXPECT_EQ(a.SelectAllFuncs, b.SelectAllFuncs);
    EXPECT_EQ(a.MergePlugins, b.MergePlugins);
    EXPECT_EQ(a.SinglePluginFile, b.SinglePluginFile);
    EXPECT_EQ(a.IndividualPluginFiles, b.IndividualPluginFiles);
    EXPECT_EQ(a.AutoGeneratePlugin, b.AutoGeneratePlugin);
    EXPECT_EQ(a.ShowMain, b.ShowMain);
    EXPECT_EQ(a.SaveDisAsm, b.SaveDisAsm);
    EXPECT_EQ(a.AutoCheck, b.AutoCheck);
}

TEST(OptionsStore, FirstRunGivesTheAbsentKeyValues) {
    RecordingLog log;
    AppOptions options; // as before start-up: all empty or false
    std::optional<int> showAll = recordingStore(log).loadAll(options);

    AppOptions expected;
    expected.DisAsmCmd = "pic32-objdump.exe -D -z";
    expected.IndividualPluginFiles = true;
    expectSameStoredMembers(options, expected);
    EXPECT_EQ(showAll, 0);
}

TEST(OptionsStore, ReadsInStartUpOrderAndSavesTheSixteenKeysInTheirOrder) {
    RecordingLog log;
    OptionsStore store = recordingStore(log);
    AppOptions options;
    store.loadAll(options);
    const std::vector<Key> readOrder = {{"Paths", "ELFFileName"},
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
                                        {"Settings", "AutoCheck"}};
    EXPECT_EQ(log.reads, readOrder);
    EXPECT_TRUE(log.writes.empty()) << "loading must not write the store";

    store.saveAtEnd(options);
    const std::vector<Key> writeOrder = {{"Paths", "ELFFileName"},
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
                                         {"Settings", "AutoCheck"}};
    EXPECT_EQ(log.writes, writeOrder);
}

TEST(OptionsStore, BooleanTextThatCannotBeConvertedLeavesTheMember) {
    struct Case {
        const char* stored;
        bool before;
        bool after;
    };
    const Case cases[] = {{"1", false, true},    {"-1", false, true},    {"0", true, false},
                          {"true", false, true}, {"FALSE", true, false}, {"yes", false, false},
                          {"yes", true, true},   {"", false, false},     {"", true, true}};
    for (const Case& c : cases) {
        RecordingLog log;
        log.values[{"Settings", "MPLab"}] = c.stored;
        log.values[{"Settings", "IndividualPluginFiles"}] = c.stored;
        AppOptions options;
        options.MPLab = c.before;
        options.IndividualPluginFiles = c.before;
        recordingStore(log).loadAll(options);
        EXPECT_EQ(options.MPLab, c.after) << '"' << c.stored << "\" from " << c.before;
        // The absent-key value true does not apply to a present key.
        EXPECT_EQ(options.IndividualPluginFiles, c.after) << '"' << c.stored << '"';
    }
}

TEST(OptionsStore, DashZRuleRunsOnceOnTheStoredCommand) {
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
        RecordingLog log;
        log.values[{"Internals", "DisAsmCmd"}] = c.stored;
        AppOptions options;
        recordingStore(log).loadAll(options);
        EXPECT_EQ(options.DisAsmCmd, c.loaded) << '"' << c.stored << '"';
    }
}

TEST(OptionsStore, CheckStateOutsideTheThreeStatesIsNotApplied) {
    for (const char* text : {"3", "-1", "x", "", "1.5"}) {
        RecordingLog log;
        log.values[{"Settings", "chkShowAllFuncs"}] = text;
        EXPECT_EQ(recordingStore(log).readShowAllFuncs(), std::nullopt) << '"' << text << '"';
    }
    RecordingLog log;
    log.values[{"Settings", "chkShowAllFuncs"}] = "2";
    EXPECT_EQ(recordingStore(log).readShowAllFuncs(), 2);
}

TEST(OptionsStore, MergedNameIsReadAsStoredAndTrimmedOnlyIntoTheMember) {
    RecordingLog log;
    log.values[{"Paths", "MergeCFunctionName"}] = "  Blink  ";
    OptionsStore store = recordingStore(log);
    EXPECT_EQ(store.readText(settings::kMergeCFunctionName), "  Blink  ");
    AppOptions options;
    store.loadAll(options);
    EXPECT_EQ(options.MergeCFunctionName, "Blink");
}

TEST(OptionsStore, AFailedStepIsSkippedAndTheNextOneRuns) {
    RecordingLog log;
    log.values[{"Paths", "ELFFileName"}] = "stored.elf";
    log.values[{"Settings", "MPLab"}] = "True";
    log.values[{"Settings", "MPLabX"}] = "True";
    log.failingReads = {
        {"Paths", "ELFFileName"}, {"Settings", "MPLab"}, {"Internals", "DisAsmCmd"}};
    AppOptions options;
    options.ELFFileName = "kept.elf";
    options.DisAsmCmd = "kept-objdump -D";
    recordingStore(log).loadAll(options);
    EXPECT_EQ(options.ELFFileName, "kept.elf");
    EXPECT_FALSE(options.MPLab);
    EXPECT_TRUE(options.MPLabX);
    // The "-z" rule is a step of its own and still runs.
    EXPECT_EQ(options.DisAsmCmd, "kept-objdump -D -z ");
    EXPECT_EQ(log.reads.size(), 17U);

    log.failingWrites = {{"Paths", "ELFFileName"}, {"Settings", "MPLab"}};
    OptionsStore store = recordingStore(log);
    store.saveAtEnd(changedOptions());
    EXPECT_EQ(log.writes.size(), 16U);
    EXPECT_EQ(log.values[(Key{"Paths", "ELFFileName"})], "stored.elf");
    EXPECT_EQ(log.values[(Key{"Settings", "MPLab"})], "True");
    EXPECT_EQ(log.values[(Key{"Settings", "AutoCheck"})], "True");
    EXPECT_FALSE(store.writeSetting("Settings", "MPLab", "False"));
    EXPECT_TRUE(store.writeSetting("Settings", "MPLabX", "False"));
}

// The one test on the real QSettings store, in a temporary folder.
TEST(OptionsStoreOnQSettings, RoundTripsEveryOptionAsText) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string ini = (dir.path() + QStringLiteral("/Travonix.ini")).toStdString();

    {
        OptionsStore store = OptionsStore::atFile(ini);
        AppOptions first;
        EXPECT_EQ(store.loadAll(first), 0);
        EXPECT_EQ(first.DisAsmCmd, "pic32-objdump.exe -D -z");
        EXPECT_TRUE(first.IndividualPluginFiles);
        store.saveShowAllFuncs(1);
        store.saveAtEnd(changedOptions());
    }

    AppOptions loaded;
    std::optional<int> showAll = OptionsStore::atFile(ini).loadAll(loaded);
    EXPECT_EQ(showAll, 1);
    AppOptions expected = changedOptions();
    expected.DisAsmCmd = "xc32-objdump.exe -D -z ";
    expectSameStoredMembers(loaded, expected);

    QSettings raw(QString::fromStdString(ini), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Settings/MPLab").toString(), "False");
    EXPECT_EQ(raw.value("Settings/MPLabX").toString(), "True");
    EXPECT_EQ(raw.value("Settings/chkShowAllFuncs").toString(), "1");
    EXPECT_EQ(raw.allKeys().size(), 17);
}

TEST(OptionsStoreOnQSettings, AnEmptyStoredValueIsNotTheDefault) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string ini = (dir.path() + QStringLiteral("/Travonix.ini")).toStdString();
    OptionsStore store = OptionsStore::atFile(ini);
    store.writeSetting("Internals", "DisAsmCmd", "");
    store.writeSetting("Settings", "IndividualPluginFiles", "");
    EXPECT_EQ(store.readSetting("Internals", "DisAsmCmd", "absent"), "");
    EXPECT_EQ(store.readSetting("Internals", "Missing", "absent"), "absent");

    AppOptions options;
    OptionsStore::atFile(ini).loadAll(options);
    EXPECT_EQ(options.DisAsmCmd, " -z ");
    EXPECT_FALSE(options.IndividualPluginFiles);
}

TEST(OptionsStoreOnQSettings, AStoreThatCannotBeWrittenFailsQuietly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A path below a regular file can never be created.
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    OptionsStore store =
        OptionsStore::atFile((dir.path() + QStringLiteral("/file/sub/Travonix.ini")).toStdString());
    EXPECT_FALSE(store.writeSetting("Settings", "MPLab", "True"));
    store.saveAtEnd(changedOptions()); // no throw, no message
    AppOptions options;
    EXPECT_EQ(store.loadAll(options), 0);
}

} // namespace
} // namespace travonix
