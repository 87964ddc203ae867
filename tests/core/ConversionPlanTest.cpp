#include "core/Conversion.h"
#include "support/ListingBuilder.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Status = ConversionPlan::Status;

ConversionSettings settingsFor(OutputMode mode, std::string mergedName = {},
                               std::string folder = "out") {
    ConversionSettings settings;
    settings.mode = mode;
    settings.mergedName = std::move(mergedName);
    settings.outputFolder = std::move(folder);
    return settings;
}

std::vector<std::string> rowNames(const ConversionPlan& plan) {
    std::vector<std::string> names;
    for (const BlockRow& row : plan.rows)
        names.push_back(row.name);
    return names;
}

TEST(ConversionPlan, WhatIsMissingIsCheckedFolderFirstThenMergedNameThenSelection) {
    ListingBuilder selected;
    selected.function("f", testWords(1, 2));
    ListingBuilder unselected;
    unselected.function("f", testWords(1, 2), false, false);
    const struct {
        const char* what;
        const ListingBuilder& built;
        ConversionSettings settings;
        Status status;
    } cases[] = {
        {"no folder, merge without name, nothing selected", unselected,
         settingsFor(OutputMode::Merged, "", ""), Status::NoOutputFolder},
        {"merge without name, nothing selected", unselected, settingsFor(OutputMode::Merged),
         Status::NeedsMergedName},
        {"merge without name", selected, settingsFor(OutputMode::Merged), Status::NeedsMergedName},
        {"nothing selected", unselected, settingsFor(OutputMode::IndividualFiles),
         Status::NoSelection},
        {"nothing selected in merge mode", unselected, settingsFor(OutputMode::Merged, "Blk"),
         Status::NoSelection},
        {"ready", selected, settingsFor(OutputMode::SingleFile), Status::Ready},
        {"ready to merge", selected, settingsFor(OutputMode::Merged, "Blk"), Status::Ready},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ConversionPlan plan = planConversion(c.built.listing, c.built.functions, c.settings);
        EXPECT_EQ(plan.status, c.status);
        EXPECT_TRUE(plan.diagnostics.empty());
        EXPECT_EQ(plan.rows.size(), c.status == Status::Ready ? 1U : 0U);
    }
}

TEST(ConversionPlan, AMergeWithoutMainIsWarnedOfByItsFirstRoutine) {
    const struct {
        const char* what;
        std::vector<std::string> names;
        OutputMode mode;
        const char* warnedOf; // nullptr: no warning
    } cases[] = {
        {"main first", {"main", "f"}, OutputMode::Merged, nullptr},
        {"main later, any case", {"f", "Main"}, OutputMode::Merged, nullptr},
        {"no main", {"f", "g"}, OutputMode::Merged, "f"},
        {"one routine", {"table-0x14"}, OutputMode::Merged, "table-0x14"},
        {"single file", {"f", "g"}, OutputMode::SingleFile, nullptr},
        {"individual files", {"f"}, OutputMode::IndividualFiles, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ListingBuilder built;
        for (const std::string& name : c.names)
            built.function(name, testWords(1, 2));
        const ConversionSettings settings = settingsFor(c.mode, "Blk");
        const ConversionPlan plan = planConversion(built.listing, built.functions, settings);
        ASSERT_EQ(plan.status, Status::Ready);
        const std::optional<Diagnostic> warning = mergeEntryWarning(plan, settings);
        ASSERT_EQ(warning.has_value(), c.warnedOf != nullptr);
        if (!warning)
            continue;
        EXPECT_EQ(warning->kind, Diagnostic::Kind::Warning);
        EXPECT_EQ(warning->function, c.warnedOf);
        EXPECT_NE(warning->text.find("entry word points at " + std::string(c.warnedOf) +
                                     ", the first routine"),
                  std::string::npos)
            << warning->text;
    }
    // A plan that is not ready has no entry word to warn of.
    ListingBuilder unselected;
    unselected.function("f", testWords(1, 2), false, false);
    const ConversionSettings merge = settingsFor(OutputMode::Merged, "Blk");
    EXPECT_FALSE(
        mergeEntryWarning(planConversion(unselected.listing, unselected.functions, merge), merge));
}

TEST(ConversionPlan, RowsAreTheSelectedFunctionsWithTheirOwnHeaders) {
    ListingBuilder built;
    built.function("a", testWords(1, 2))
        .function("skipped", testWords(3, 1), false, false)
        .function("table", testWords(4, 2), true);

    const ConversionPlan plan =
        planConversion(built.listing, built.functions, settingsFor(OutputMode::IndividualFiles));

    ASSERT_EQ(plan.status, Status::Ready);
    ASSERT_EQ(plan.rows.size(), 2U);
    EXPECT_EQ(plan.rows[0].name, "a");
    EXPECT_FALSE(plan.rows[0].readOnlyData);
    EXPECT_EQ(plan.rows[0].headerLine, built.functions[0].headerLine);
    EXPECT_EQ(plan.rows[1].name, "table");
    EXPECT_EQ(headerNameOf(built.listing.text(plan.rows[1].headerLine)), "table");
    EXPECT_TRUE(plan.rows[1].readOnlyData);
    EXPECT_EQ(plan.rows[1].headerLine, built.functions[2].headerLine);
}

// A function is found again only at its own header line, under exactly its
// own name: a re-read that moved or renamed it leaves it out by name.
TEST(ConversionPlan, FunctionWhoseHeaderIsGoneIsAnErrorByName) {
    ListingBuilder built;
    built.function("main_loop", testWords(1, 1), false, false)
        .function("Main", testWords(2, 1), false, false)
        .function("kept", testWords(3, 1));
    const struct {
        const char* what;
        FunctionEntry entry;
    } cases[] = {
        {"header line past the listing", {"gone", false, true, built.listing.size()}},
        {"another function's header", {"main", false, true, built.functions[0].headerLine}},
        {"a header differing in letter case", {"main", false, true, built.functions[1].headerLine}},
        {"not a header line", {"moved", false, true, built.functions[2].headerLine + 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<FunctionEntry> functions = built.functions;
        functions.insert(functions.begin(), c.entry);
        const std::string error = "Function " + c.entry.name +
                                  " is no longer in the listing: no CFunction was made for it";

        const ConversionPlan each =
            planConversion(built.listing, functions, settingsFor(OutputMode::IndividualFiles));
        EXPECT_EQ(each.status, Status::Ready);
        EXPECT_EQ(rowNames(each), (std::vector<std::string>{"kept"}));
        ASSERT_EQ(each.diagnostics.size(), 1U);
        EXPECT_EQ(each.diagnostics[0].kind, Diagnostic::Kind::Error);
        EXPECT_EQ(each.diagnostics[0].text, error);
        EXPECT_EQ(each.diagnostics[0].function, c.entry.name);

        // Every later call of a merged block would land in the wrong place.
        const ConversionPlan merged =
            planConversion(built.listing, functions, settingsFor(OutputMode::Merged, "Blk"));
        EXPECT_EQ(merged.status, Status::Failed);
        EXPECT_TRUE(merged.rows.empty());
        ASSERT_EQ(merged.diagnostics.size(), 1U);
        EXPECT_EQ(merged.diagnostics[0].text, error);
    }
}

TEST(ConversionPlan, NoFunctionFoundFailsInEveryMode) {
    ListingBuilder built;
    built.function("a", testWords(1, 1));
    const std::vector<FunctionEntry> functions = {{"x", false, true, 0}, {"y", false, true, 99}};
    for (OutputMode mode : {OutputMode::IndividualFiles, OutputMode::SingleFile}) {
        const ConversionPlan plan = planConversion(built.listing, functions, settingsFor(mode));
        EXPECT_EQ(plan.status, Status::Failed);
        EXPECT_TRUE(plan.rows.empty());
        EXPECT_EQ(plan.diagnostics.size(), 2U);
    }
}

TEST(ConversionPlan, HostileNameIsReportedPrintably) {
    ListingBuilder built;
    built.function("a", testWords(1, 1));
    const std::vector<FunctionEntry> functions = {{"bad\x1b[2Jname", false, true, 99},
                                                  built.functions[0]};
    const ConversionPlan plan =
        planConversion(built.listing, functions, settingsFor(OutputMode::IndividualFiles));
    ASSERT_EQ(plan.diagnostics.size(), 1U);
    EXPECT_EQ(plan.diagnostics[0].text,
              "Function bad\\x1B[2Jname is no longer in the listing: no CFunction was made for it");
}

TEST(ConversionPlan, SameNamedFunctionsGetFilesOfTheirOwnInOneFilePerFunctionMode) {
    ListingBuilder built;
    built.function("twice", testWords(1, 1))
        .function("twice_2", testWords(2, 1))
        .function("twice", testWords(3, 1))
        .function("twice", testWords(4, 1));

    const ConversionPlan plan =
        planConversion(built.listing, built.functions, settingsFor(OutputMode::IndividualFiles));

    ASSERT_EQ(plan.status, Status::Ready);
    // twice_2 is taken by a function of that name: the second "twice" goes on to twice_3.
    EXPECT_EQ(rowNames(plan), (std::vector<std::string>{"twice", "twice_2", "twice_3", "twice_4"}));
    EXPECT_EQ(headerNameOf(built.listing.text(plan.rows[2].headerLine)), "twice");
    EXPECT_EQ(plan.rows[2].headerLine, built.functions[2].headerLine);
    EXPECT_EQ(headerNameOf(built.listing.text(plan.rows[3].headerLine)), "twice");
    ASSERT_EQ(plan.diagnostics.size(), 2U);
    EXPECT_EQ(plan.diagnostics[0].kind, Diagnostic::Kind::Warning);
    EXPECT_EQ(plan.diagnostics[0].text,
              "Two functions are named twice: the later one is written as twice_3.bas");
    EXPECT_EQ(plan.diagnostics[0].function, "twice");
    EXPECT_EQ(plan.diagnostics[0].file, "twice_3.bas");
    EXPECT_EQ(plan.diagnostics[1].text,
              "Two functions are named twice: the later one is written as twice_4.bas");
}

TEST(ConversionPlan, SameNamedFunctionsInOneFileKeepTheirNameWithAWarning) {
    ListingBuilder built;
    built.function("twice", testWords(1, 1)).function("twice", testWords(2, 1));

    const ConversionPlan single =
        planConversion(built.listing, built.functions, settingsFor(OutputMode::SingleFile));
    EXPECT_EQ(rowNames(single), (std::vector<std::string>{"twice", "twice"}));
    ASSERT_EQ(single.diagnostics.size(), 1U);
    EXPECT_EQ(single.diagnostics[0].kind, Diagnostic::Kind::Warning);
    EXPECT_EQ(single.diagnostics[0].text,
              "Two functions are named twice: both CFunctions carry that name");

    const ConversionPlan merged =
        planConversion(built.listing, built.functions, settingsFor(OutputMode::Merged, "Blk"));
    EXPECT_EQ(rowNames(merged), (std::vector<std::string>{"twice", "twice"}));
    EXPECT_TRUE(merged.diagnostics.empty());
    EXPECT_NE(merged.rows[0].headerLine, merged.rows[1].headerLine);
}

} // namespace
} // namespace travonix::test
