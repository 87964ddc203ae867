#include "AppTestDoubles.h"

#include "core/ListingReader.h"
#include "core/SystemFunctions.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;

const char* const kDisPath = "C:\\work\\prog.dis";
const char* const kNoListingMessage =
    "No .DIS file available, use Select .ELF to select  a .ELF file which will "
    "automatically create the required .DIS file.";

const std::string kListing = listingFile({
    "prog.elf:     file format elf32-tradlittlemips",
    "Disassembly of section .text:",
    "",
    "9d000000 <first>:",
    "9d000000:\t0f400008 \tjal\t9d000020 <second>",
    "9d000004:\t00000000 \tnop",
    "",
    "9d000020 <second>:",
    "9d000020:\t0f4c0000 \tjal\t9d300000 <far>",
    "9d000024:\t00000000 \tnop",
    "",
    "9d000030 <main>:",
    "9d000030:\t03e00008 \tjr\tra",
});

// A file that is there but cannot be read (locked, no permission).
class UnreadableEnvironment : public FakeEnvironment {
  public:
    std::optional<std::string> readFile(const std::string&) override { return std::nullopt; }
};

std::vector<bool> selectionOf(const std::vector<FunctionEntry>& functions) {
    std::vector<bool> selected;
    for (const FunctionEntry& f : functions)
        selected.push_back(f.selected);
    return selected;
}

// What a read replaces, set to something a read would never make.
void givePreviousState(Orchestrator& app) {
    Session& s = app.editSession();
    Listing previous;
    previous.addMadeLine("old line", LineKind::Other);
    s.listing = std::move(previous);
    s.functions = {{"old", false, true, 0}};
    s.generatedSource = {"CFunction old"};
    s.makeTimeText = "09:00:00";
}

void expectPreviousState(const Orchestrator& app) {
    const Session& s = app.session();
    EXPECT_EQ(textsOf(s.listing), (Texts{"old line"}));
    EXPECT_EQ(namesOf(s.functions), (Texts{"old"}));
    EXPECT_EQ(s.generatedSource, (Texts{"CFunction old"}));
    EXPECT_EQ(s.makeTimeText, "09:00:00");
}

class ReadListing : public ::testing::Test, public AppUnderTest {
  protected:
    ReadListing() {
        app.editOptions().listingPath = kDisPath;
        env.files[kDisPath] = kListing;
    }
};

TEST_F(ReadListing, ReplacesTheListsRewritesJumpsAndReportsTheFarOne) {
    givePreviousState(app);
    app.editOptions().conversion.selectAll = true;
    app.readListing();

    const Session& s = app.session();
    EXPECT_EQ(namesOf(s.functions), (Texts{"first", "second"}));
    ASSERT_EQ(s.listing.size(), 9U);
    EXPECT_EQ(s.listing.text(2), "9d000000:\t04110007\tbal\t9d000020 <second>");
    EXPECT_TRUE(s.listing.line(2).rewritten);
    EXPECT_EQ(s.listing.text(6), "9d000020:\t0f4c0000 \tjal\t9d300000 <far>");
    EXPECT_FALSE(s.listing.line(6).rewritten);
    EXPECT_TRUE(s.generatedSource.empty());
    EXPECT_EQ(s.makeTimeText, "");
    EXPECT_EQ(s.currentFunction, 0);
    EXPECT_EQ(s.currentListingLine, 0);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text,
              "There are 1 unconverted JAL/J instructions in the output, targets are too far away");
    EXPECT_EQ(ui.messages[0].title, "Travonix");
    EXPECT_TRUE(ui.statusLines.empty());
}

TEST_F(ReadListing, EmptyListingNameShowsTheMessageAndChangesNothing) {
    givePreviousState(app);
    app.editOptions().listingPath.clear();
    app.readListing();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, kNoListingMessage);
    EXPECT_EQ(ui.messages[0].title, "Travonix");
    expectPreviousState(app);
}

TEST_F(ReadListing, MissingFileChangesNothingSilently) {
    givePreviousState(app);
    env.files.clear();
    app.readListing();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.statusLines.empty());
    expectPreviousState(app);
}

TEST_F(ReadListing, UnreadableFileChangesNothingAndIsReported) {
    UnreadableEnvironment locked;
    locked.files[kDisPath] = kListing;
    Orchestrator lockedApp{ui, locked, disassembler};
    lockedApp.editOptions().listingPath = kDisPath;
    givePreviousState(lockedApp);
    lockedApp.readListing();
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.statusLines.size(), 1U);
    EXPECT_NE(ui.statusLines[0].find(kDisPath), std::string::npos) << ui.statusLines[0];
    EXPECT_EQ(lockedApp.session().statusLine, ui.statusLines[0]);
    expectPreviousState(lockedApp);
}

TEST_F(ReadListing, SelectionIsKeptByNameAndNewFunctionsTakeSelectAll) {
    app.editOptions().conversion.selectAll = true;
    app.editSession().functions = {{"gone", false, false, 0}, {"second", false, false, 0}};
    app.readListing();
    ASSERT_EQ(namesOf(app.session().functions), (Texts{"first", "second"}));
    EXPECT_EQ(selectionOf(app.session().functions), (std::vector<bool>{true, false}));
}

TEST_F(ReadListing, DuplicateNamesKeepTheirStateByOccurrence) {
    env.files[kDisPath] = listingFile({
        "Disassembly of section .text:",
        "",
        "9d000000 <twice>:",
        "9d000000:\t03e00008 \tjr\tra",
        "",
        "9d000008 <twice>:",
        "9d000008:\t03e00008 \tjr\tra",
        "",
        "9d000010 <twice>:",
        "9d000010:\t03e00008 \tjr\tra",
    });
    // The third occurrence is new: it takes the first one's state.
    app.editSession().functions = {{"twice", false, true, 0}, {"twice", false, false, 0}};
    app.editOptions().conversion.selectAll = false;
    app.readListing();
    EXPECT_EQ(selectionOf(app.session().functions), (std::vector<bool>{true, false, true}));
}

TEST_F(ReadListing, GapsBeyondTheFillerBoundAreReportedAsAWarning) {
    std::string text = "Disassembly of section .text:\r\n";
    for (unsigned k = 0; k <= 20; ++k) {
        char line[64];
        std::snprintf(line, sizeof line, "%08x:\t03e00008 \tjr\tra\r\n\t...\r\n",
                      0x9d000000u + k * 0x40004u);
        text += line;
    }
    env.files[kDisPath] = text;
    app.readListing();
    EXPECT_EQ(ui.statusLines, Texts{fillerLimitWarning()});
    EXPECT_EQ(app.session().statusLine, fillerLimitWarning());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReadListing, FileWithoutWantedSectionsEmptiesTheLists) {
    givePreviousState(app);
    env.files[kDisPath] = listingFile({"prog.elf:     file format elf32-tradlittlemips"});
    app.readListing();
    const Session& s = app.session();
    EXPECT_TRUE(s.listing.empty());
    EXPECT_TRUE(s.functions.empty());
    EXPECT_TRUE(s.generatedSource.empty());
    EXPECT_EQ(s.makeTimeText, "");
    EXPECT_EQ(s.currentFunction, -1);
    EXPECT_EQ(s.currentListingLine, -1);
}

// Generation must see the rewritten words: the branch, not the absolute jal.
TEST_F(ReadListing, AutoGenerateRunsTheMakeCommandAfterTheRewriting) {
    app.editOptions().conversion.outputFolder = "C:\\out";
    app.editOptions().conversion.selectAll = true;
    app.setAutoGenerate(true);
    app.readListing();
    ASSERT_EQ(env.writes, (Texts{"C:\\out\\first.bas", "C:\\out\\second.bas"}));
    const std::string& written = env.files[env.writes.front()];
    EXPECT_NE(written.find("04110007"), std::string::npos) << written;
    EXPECT_EQ(written.find("0f400008"), std::string::npos) << written;
    EXPECT_EQ(app.session().currentListingLine, 0);
    EXPECT_FALSE(app.session().generatedSource.empty());
    // The automatic run writes without its completion message.
    EXPECT_EQ(ui.messages.size(), 1U); // the far jump's message of the read
}

TEST_F(ReadListing, WithoutAutoGenerateNothingIsWritten) {
    app.editOptions().conversion.outputFolder = "C:\\out";
    app.editOptions().conversion.selectAll = true;
    app.readListing();
    EXPECT_TRUE(env.writes.empty());
    EXPECT_FALSE(app.session().listing.empty());
}

// ---- the list boxes ----------------------------------------------------

const std::string kListingWithMain = listingFile({
    "Disassembly of section .text:",
    "",
    "9d000000 <helper>:",
    "9d000000:\t03e00008 \tjr\tra",
    "",
    "9d000008 <main>:",
    "9d000008:\t03e00008 \tjr\tra",
    "",
    "9d000010 <__pic32_software_reset>:",
});

class ListBoxes : public ReadListing {
  protected:
    ListBoxes() { env.files[kDisPath] = kListingWithMain; }
};

TEST_F(ListBoxes, SelectAllSetsEveryFunctionWithoutReadingAgain) {
    app.editSession().functions = {
        {"a", false, false, 0}, {"b", true, true, 0}, {"c", false, false, 0}};
    app.editSession().currentFunction = 2;
    env.files.clear(); // a re-read would now change nothing; the lists must still change

    app.setSelectAll(true);
    EXPECT_TRUE(app.options().conversion.selectAll);
    EXPECT_EQ(selectionOf(app.session().functions), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(app.session().currentFunction, 0);

    app.setSelectAll(false);
    EXPECT_FALSE(app.options().conversion.selectAll);
    EXPECT_EQ(selectionOf(app.session().functions), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"a", "b", "c"}));
}

TEST_F(ListBoxes, SettingABoxToItsOwnStateRunsNothing) {
    app.editSession().functions = {{"a", false, false, 0}};
    app.setIncludeMain(false);
    app.setShowAllFunctions(false);
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"a"}));
    EXPECT_TRUE(app.session().listing.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ListBoxes, IncludeMainReadsAgainWithOrWithoutMain) {
    app.setIncludeMain(true);
    EXPECT_TRUE(app.options().conversion.includeMain);
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"helper", "main"}));

    app.setIncludeMain(false);
    EXPECT_FALSE(app.options().conversion.includeMain);
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"helper"}));
}

TEST_F(ListBoxes, ShowAllFunctionsReadsAgainInTheBoxsMode) {
    app.setShowAllFunctions(true);
    EXPECT_TRUE(app.options().conversion.fullReading);
    EXPECT_EQ(namesOf(app.session().functions),
              (Texts{"helper", "main", "__pic32_software_reset"}));
    app.setShowAllFunctions(false);
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"helper"}));
}

TEST_F(ListBoxes, FullReadingShowsTheFileFormatLine) {
    env.files[kDisPath] = kListing;
    app.setShowAllFunctions(true);
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"first", "second", "main"}));
    EXPECT_EQ(app.session().listing.text(0), "prog.elf:     file format elf32-tradlittlemips");
}

TEST_F(ListBoxes, BoxesThatReadAgainShowTheMessageWhenThereIsNoListing) {
    app.editOptions().listingPath.clear();
    app.editSession().functions = {{"kept", false, true, 0}};
    app.setIncludeMain(true);
    app.setShowAllFunctions(true);
    ASSERT_EQ(ui.messages.size(), 2U);
    EXPECT_EQ(ui.messages[0].text, kNoListingMessage);
    EXPECT_EQ(ui.messages[1].text, kNoListingMessage);
    EXPECT_EQ(namesOf(app.session().functions), (Texts{"kept"}));
    EXPECT_TRUE(app.options().conversion.includeMain);
    EXPECT_TRUE(app.options().conversion.fullReading);
}

TEST(SystemFunctionTest, IsFoundBySubstringIgnoringCase) {
    const struct {
        const char* name;
        bool system;
    } cases[] = {{"x__PIC32_SOFTWARE_RESET.y", true},
                 {"_nmi_handler", true},
                 {"my_NMI_Handler2", true},
                 {"", false},
                 {"main", false},
                 {"_nmi_handle", false}};
    for (const auto& c : cases)
        EXPECT_EQ(isSystemFunction(c.name), c.system) << '"' << c.name << '"';
}

} // namespace
} // namespace travonix::test
