#include "core/Conversion.h"
#include "support/FakeEnvironment.h"
#include "support/ListingBuilder.h"

#include <gtest/gtest.h>

namespace travonix::test {
namespace {

using Names = std::vector<std::string>;

const Stamp kStamp{{2026, 12, 10, 9, 5, 7}, "tester"};

// A ready conversion of the given functions, two words each.
struct Converted {
    ConversionSettings settings;
    ConversionPlan plan;
    GeneratedBlocks blocks;

    Converted(const Names& names, OutputMode mode, std::string mergedName = {}) {
        ListingBuilder built;
        int word = 1;
        for (const std::string& name : names) {
            built.function(name, testWords(word, 2));
            word += 2;
        }
        settings.mode = mode;
        settings.mergedName = std::move(mergedName);
        settings.outputFolder = "C:\\out";
        settings.keepListingCopy = true;
        plan = planConversion(built.listing, built.functions, settings);
        EXPECT_EQ(plan.status, ConversionPlan::Status::Ready);
        blocks = buildBlocks(built.listing, plan, settings, kStamp, [](const JalrLine&) {
            ADD_FAILURE() << "no jalr in these listings";
            return false;
        });
    }

    // The files from a copy of the blocks: basFiles moves the texts out.
    std::vector<OutputFile> files() const {
        GeneratedBlocks copy = blocks;
        return basFiles(copy, plan, settings, "\\");
    }
};

std::string clipboardOf(OutputFile file) {
    std::string text;
    for (std::string_view part : clipboardParts(file))
        text += part;
    return text;
}

Names namesOf(const std::vector<OutputFile>& files) {
    Names names;
    for (const OutputFile& file : files)
        names.push_back(file.name);
    return names;
}

TEST(OutputFiles, OneFilePerFunctionHoldsItsBlockAfterItsPath) {
    const Converted c({"a", "b"}, OutputMode::IndividualFiles);
    const auto files = c.files();

    ASSERT_EQ(namesOf(files), (Names{"a.bas", "b.bas"}));
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].name);
        const std::string path = "C:\\out\\" + files[i].name;
        EXPECT_EQ(files[i].path, path);
        EXPECT_EQ(files[i].bytes(), "'\r\n'" + path + "\r\n\r\n" + c.blocks.blockTexts[i] + "\r\n");
        EXPECT_EQ(clipboardOf(files[i]), "'\r\n'" + path + "\r\n" + c.blocks.blockTexts[i]);
        EXPECT_FALSE(files[i].refusal.has_value());
    }
}

TEST(OutputFiles, SingleFileIsNamedAfterTheFirstFunctionAndHoldsEveryBlock) {
    const Converted c({"first", "second", "third"}, OutputMode::SingleFile);
    const auto files = c.files();

    ASSERT_EQ(namesOf(files), (Names{"first.bas"}));
    const std::string text = c.blocks.blockTexts[0] + "\r\n\r\n" + c.blocks.blockTexts[1] +
                             "\r\n\r\n" + c.blocks.blockTexts[2] + "\r\n\r\n";
    EXPECT_EQ(files[0].bytes(), "'\r\n'C:\\out\\first.bas\r\n\r\n" + text + "\r\n");
    EXPECT_EQ(clipboardOf(files[0]), "'\r\n'C:\\out\\first.bas\r\n" + text);
}

TEST(OutputFiles, MergedFileIsNamedAfterTheMergedCFunctionAndMarksEachFunction) {
    const Converted c({"init", "main", "helper"}, OutputMode::Merged, "Blk");
    const auto files = c.files();

    ASSERT_EQ(namesOf(files), (Names{"Blk.bas"}));
    ASSERT_EQ(c.blocks.blockTexts.size(), 1U);
    const std::string& text = c.blocks.blockTexts[0];
    for (const char* marked : {"\r\n'main\r\n", "\r\n'helper\r\n"})
        EXPECT_NE(text.find(marked), std::string::npos) << marked;
    EXPECT_EQ(files[0].path, "C:\\out\\Blk.bas");
    EXPECT_EQ(files[0].bytes(), "'\r\n'C:\\out\\Blk.bas\r\n\r\n" + text + "\r\n");
    EXPECT_EQ(clipboardOf(files[0]), "'\r\n'C:\\out\\Blk.bas\r\n" + text);
}

TEST(OutputFiles, ListingCopyIsDisAsmTxtInTheOutputFolder) {
    const Converted c({"f"}, OutputMode::IndividualFiles);
    const OutputFile copy = listingCopyFile(c.blocks, c.settings, "\\");
    EXPECT_EQ(copy.name, "DisAsm.txt");
    EXPECT_EQ(copy.path, "C:\\out\\DisAsm.txt");
    ASSERT_FALSE(c.blocks.listingCopy.empty());
    EXPECT_EQ(copy.bytes(), c.blocks.listingCopy + "\r\n");
}

TEST(OutputFiles, CompletionMessageByModeNamesOnlyWrittenFiles) {
    const Converted individual({"a", "b", "c"}, OutputMode::IndividualFiles);
    EXPECT_EQ(completionMessage(individual.plan, individual.settings, {"a.bas", "c.bas"}),
              " a.bas\r\n c.bas\r\n\r\n file(s) written to disk");
    EXPECT_EQ(completionMessage(individual.plan, individual.settings, {}), "");

    const Converted single({"a", "b", "c"}, OutputMode::SingleFile);
    EXPECT_EQ(completionMessage(single.plan, single.settings, {"a.bas"}),
              "a.bas file written to disk - containing 3 individual functions");
    EXPECT_EQ(completionMessage(single.plan, single.settings, {}), "");

    const Converted merged({"a", "main"}, OutputMode::Merged, "Blk");
    EXPECT_EQ(completionMessage(merged.plan, merged.settings, {"Blk.bas"}),
              "Blk.bas\r\n\r\n file written to disk");
    EXPECT_EQ(completionMessage(merged.plan, merged.settings, {}), "");
}

TEST(OutputFiles, NamesThatCannotBeFileNamesAreRefusedAndTheOthersWritten) {
    const Converted c({"../../escaped", "CON", "good", "set:x"}, OutputMode::IndividualFiles);
    const auto files = c.files();
    ASSERT_EQ(files.size(), 4U);
    EXPECT_TRUE(files[0].refusal.has_value());
    EXPECT_TRUE(files[1].refusal.has_value());
    EXPECT_FALSE(files[2].refusal.has_value());
    EXPECT_TRUE(files[3].refusal.has_value());

    FakeEnvironment env;
    const WriteReport report = writeFiles(files, c.settings.outputFolder, "\\", env);

    EXPECT_EQ(env.writes, (Names{"C:\\out\\good.bas"}));
    EXPECT_EQ(report.writtenNames, (Names{"good.bas"}));
    EXPECT_EQ(report.writtenPaths, (Names{"C:\\out\\good.bas"}));
    EXPECT_EQ(report.clipboardFile, 2U);
    ASSERT_EQ(report.diagnostics.size(), 3U);
    EXPECT_EQ(report.diagnostics[0].text,
              "Cannot write ../../escaped.bas: the name holds a path separator");
    EXPECT_EQ(report.diagnostics[1].text,
              "Cannot write CON.bas: the name is a Windows device name");
    EXPECT_EQ(report.diagnostics[1].file, "CON.bas");
    EXPECT_EQ(report.diagnostics[2].text,
              "Cannot write set:x.bas: the name holds a character that Windows does not allow in "
              "file names");
    for (const Diagnostic& d : report.diagnostics)
        EXPECT_EQ(d.kind, Diagnostic::Kind::Error);
    EXPECT_EQ(completionMessage(c.plan, c.settings, report.writtenNames),
              " good.bas\r\n\r\n file(s) written to disk");
}

TEST(OutputFiles, MergedNameThatCannotBeAFileNameIsRefused) {
    const Converted c({"a", "main"}, OutputMode::Merged, "COM1");
    const auto files = c.files();
    ASSERT_EQ(files.size(), 1U);
    EXPECT_TRUE(files[0].refusal.has_value());

    FakeEnvironment env;
    const WriteReport report = writeFiles(files, c.settings.outputFolder, "\\", env);
    EXPECT_TRUE(env.writes.empty());
    EXPECT_TRUE(report.writtenNames.empty());
    EXPECT_FALSE(report.clipboardFile.has_value());
    EXPECT_EQ(completionMessage(c.plan, c.settings, report.writtenNames), "");
}

TEST(OutputFiles, FileThatCannotBeWrittenIsReportedAndTheOthersAreStillWritten) {
    const Converted c({"a", "b", "c"}, OutputMode::IndividualFiles);
    const auto files = c.files();
    FakeEnvironment env;
    env.unwritable.insert("C:\\out\\c.bas");

    const WriteReport report = writeFiles(files, c.settings.outputFolder, "\\", env);

    EXPECT_EQ(report.writtenNames, (Names{"a.bas", "b.bas"}));
    EXPECT_EQ(env.files.at("C:\\out\\a.bas"), files[0].bytes());
    EXPECT_EQ(env.files.at("C:\\out\\b.bas"), files[1].bytes());
    // The clipboard keeps the last file that was written.
    EXPECT_EQ(report.clipboardFile, 1U);
    ASSERT_EQ(report.diagnostics.size(), 1U);
    EXPECT_EQ(report.diagnostics[0].text, "Cannot write C:\\out\\c.bas: No space left on device");
    EXPECT_EQ(report.diagnostics[0].file, "C:\\out\\c.bas");
}

// A writer whose every reason spans lines, as some systems' messages do.
class FailingWriter : public FileWriter {
  public:
    Outcome writeWhole(const std::string&, std::string_view) override {
        return Failure{"disk\r\nfull\n"};
    }
};

TEST(OutputFiles, WriteFailureIsReportedOnOneLine) {
    const Converted c({"a"}, OutputMode::IndividualFiles);
    FailingWriter writer;
    const WriteReport report = writeFiles(c.files(), c.settings.outputFolder, "\\", writer);
    ASSERT_EQ(report.diagnostics.size(), 1U);
    EXPECT_EQ(report.diagnostics[0].text, "Cannot write C:\\out\\a.bas: disk  full ");
    EXPECT_TRUE(report.writtenNames.empty());
}

TEST(OutputFiles, NothingIsWrittenOutsideTheOutputFolder) {
    FakeEnvironment env;
    const std::vector<OutputFile> files = {
        {"x.bas", "C:\\elsewhere\\x.bas", {"bytes"}, false, std::nullopt},
        {"y.bas", "C:\\out\\sub\\y.bas", {"bytes"}, false, std::nullopt},
        {"..", "C:\\out\\..", {"bytes"}, false, std::nullopt},
        {"ok.bas", "C:\\out\\ok.bas", {"bytes"}, false, std::nullopt},
    };

    const WriteReport report = writeFiles(files, "C:\\out", "\\", env);

    EXPECT_EQ(env.writes, (Names{"C:\\out\\ok.bas"}));
    ASSERT_EQ(report.diagnostics.size(), 3U);
    EXPECT_EQ(report.diagnostics[0].text,
              "Cannot write C:\\elsewhere\\x.bas: the file would lie outside the output folder");
    // A file without clipboard text leaves the clipboard alone.
    EXPECT_FALSE(report.clipboardFile.has_value());
}

TEST(OutputFiles, AbandonedRunHasNoFiles) {
    Converted c({"a"}, OutputMode::IndividualFiles);
    c.blocks.abandoned = true;
    EXPECT_TRUE(c.files().empty());
}

TEST(OutputFiles, PathsUseTheGivenSeparator) {
    const Converted c({"a"}, OutputMode::IndividualFiles);
    ConversionSettings settings = c.settings;
    settings.outputFolder = "/home/u/out";
    GeneratedBlocks blocks = c.blocks;
    const auto files = basFiles(blocks, c.plan, settings, "/");
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(files[0].path, "/home/u/out/a.bas");
    EXPECT_TRUE(files[0].bytes().starts_with("'\r\n'/home/u/out/a.bas\r\n\r\n"))
        << files[0].bytes();
}

} // namespace
} // namespace travonix::test
