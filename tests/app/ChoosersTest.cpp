#include "AppTestDoubles.h"

#include "support/Fixtures.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

#include <ostream>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

// What the window shows from an earlier ELF file.
void showEarlierWork(Orchestrator& app) {
    Session& s = app.editSession();
    Listing earlier;
    earlier.addMadeLine("9d000000 <old>:", LineKind::Header);
    s.listing = std::move(earlier);
    s.functions = {{"old", false, true, 0}};
    s.generatedSource = {"old", "24000001 "};
    app.setMergedNameText("Blk");
    app.editOptions().conversion.outputFolder = "D:\\earlier";
}

struct ElfChoice {
    const char* name;
    const char* elf;
    const char* listing;
    const char* folder;
};

void PrintTo(const ElfChoice& c, std::ostream* out) {
    *out << c.name;
}

const ElfChoice kElfChoices[] = {
    {"UpperCaseExtension", "C:\\proj\\Demo.ELF", "C:\\proj\\Demo.dis", "C:\\proj"},
    // Only the file's own extension is replaced, not ".elf" in a folder name.
    {"ElfInTheFolderName", "C:\\my.elf.d\\prog.elf", "C:\\my.elf.d\\prog.dis", "C:\\my.elf.d"},
    {"NoExtension", "C:\\proj\\prog", "C:\\proj\\prog.dis", "C:\\proj"},
    {"DotInFolderOnly", "C:\\v1.2\\prog", "C:\\v1.2\\prog.dis", "C:\\v1.2"},
    {"ForwardSlashes", "/home/me/prog.elf", "/home/me/prog.dis", "/home/me"},
};

class ElfChooser : public ::testing::TestWithParam<ElfChoice> {};

// The views and the merged name are emptied even when the disassembly then
// stops at its first check (here: the file is not there).
TEST_P(ElfChooser, DerivesTheListingAndFolderAndEmptiesTheViews) {
    const ElfChoice& c = GetParam();
    AppUnderTest t;
    showEarlierWork(t.app);

    t.app.elfChosen(c.elf);

    const Options& o = t.app.options();
    EXPECT_EQ(o.elfPath, c.elf);
    EXPECT_EQ(o.listingPath, c.listing);
    EXPECT_EQ(o.conversion.outputFolder, c.folder);
    EXPECT_EQ(o.conversion.mergedName, "");
    EXPECT_TRUE(t.app.session().listing.empty());
    EXPECT_TRUE(t.app.session().functions.empty());
    EXPECT_TRUE(t.app.session().generatedSource.empty());
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].text,
              std::string(c.elf) + " does not exist, use .ELF button to pick a .ELF file");
    EXPECT_EQ(t.ui.messages[0].title, "Travonix");
    EXPECT_TRUE(t.disassembler.commands.empty());
}

INSTANTIATE_TEST_SUITE_P(Paths, ElfChooser, ::testing::ValuesIn(kElfChoices),
                         [](const ::testing::TestParamInfo<ElfChoice>& info) {
                             return std::string(info.param.name);
                         });

TEST(ElfChooserRun, DisassemblesTheChosenFileAndReadsItsListing) {
    AppUnderTest t;
    showEarlierWork(t.app);
    t.env.files["C:\\proj\\calls.elf"] = "\x7f"
                                         "ELF";
    t.env.modified["C:\\proj\\calls.elf"] = "2026-12-09 17:30:00";
    t.disassembler.listingText = readWholeFile(fixturePath("calls.dis"));
    t.app.editOptions().conversion.selectAll = true;

    t.app.elfChosen("C:\\proj\\calls.elf");

    ASSERT_EQ(t.disassembler.commands.size(), 1u);
    // objdump writes into a file made fresh beside the listing, gone afterwards.
    EXPECT_EQ(t.disassembler.commands[0].standardOutputFile, "C:\\proj\\.travonix-00000001.tmp");
    EXPECT_EQ(t.disassembler.commands[0].arguments.back(), "C:\\proj\\calls.elf");
    EXPECT_EQ(t.env.files.count("C:\\proj\\.travonix-00000001.tmp"), 0u);
    EXPECT_EQ(t.env.files.count("C:\\proj\\calls.dis"), 1u);
    const Texts names = namesOf(t.app.session().functions);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "crc_step");
    EXPECT_EQ(t.app.lastElfTime(), "2026-12-09 17:30:00");
    EXPECT_EQ(t.app.options().conversion.outputFolder, "C:\\proj");
    EXPECT_TRUE(t.ui.messages.empty());
}

TEST(ElfChooserRun, AFailingDisassemblerKeepsTheEmptiedViewsAndReportsIt) {
    AppUnderTest t;
    showEarlierWork(t.app);
    t.env.files["C:\\proj\\calls.elf"] = "\x7f"
                                         "ELF";
    t.env.files["C:\\proj\\calls.dis"] = "an earlier listing";
    t.disassembler.exitCode = 1;

    t.app.elfChosen("C:\\proj\\calls.elf");

    EXPECT_EQ(t.disassembler.commands.size(), 1u);
    EXPECT_TRUE(t.app.session().functions.empty());
    EXPECT_EQ(t.env.files["C:\\proj\\calls.dis"], "an earlier listing");
    ASSERT_EQ(t.ui.statusLines.size(), 1u);
    EXPECT_NE(t.ui.statusLines[0].find("exit code 1"), std::string::npos) << t.ui.statusLines[0];
}

TEST(ElfChooserRun, CancelChangesNothing) {
    AppUnderTest t;
    showEarlierWork(t.app);
    t.app.editOptions().elfPath = "C:\\was.elf";
    t.app.elfChosen("");
    EXPECT_EQ(t.app.options().elfPath, "C:\\was.elf");
    EXPECT_EQ(t.app.options().conversion.outputFolder, "D:\\earlier");
    EXPECT_EQ(t.app.options().conversion.mergedName, "Blk");
    EXPECT_EQ(namesOf(t.app.session().functions), Texts{"old"});
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_TRUE(t.disassembler.commands.empty());
}

TEST(FolderChooser, SetsTheOutputFolderAndCancelKeepsIt) {
    AppUnderTest t;
    t.app.outputFolderChosen("D:\\bas files");
    EXPECT_EQ(t.app.options().conversion.outputFolder, "D:\\bas files");

    t.app.outputFolderChosen("");
    EXPECT_EQ(t.app.options().conversion.outputFolder, "D:\\bas files");
}

TEST(FolderChooser, WithoutAFolderGenerationAsksForOneAndWritesNothing) {
    AppUnderTest t;
    t.app.editOptions().conversion.outputFolder.clear();
    Listing listing;
    listing.addMadeLine("9d000000 <f>:", LineKind::Header);
    t.app.editSession().listing = std::move(listing);
    t.app.editSession().functions = {{"f", false, true, 0}};
    t.app.makeCFunctions();
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].text,
              "No output folder specified for the CFunctions, please select a folder");
    EXPECT_TRUE(t.env.writes.empty());
}

} // namespace
} // namespace travonix::test
