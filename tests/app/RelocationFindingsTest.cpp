// What a make run's relocation check leaves in the session and on the status
// line, on the committed fixtures.

#include "AppTestDoubles.h"

#include "support/Fixtures.h"
#include "support/ListingBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>

namespace travonix::test {
namespace {

constexpr const char* kDisPath = "C:\\work\\prog.dis";

struct ExpectedFinding {
    std::string function;
    std::uint32_t address;
    check::FindingKind kind;
};

struct RunCase {
    const char* name;
    const char* fixture;
    OutputMode mode;
    std::vector<ExpectedFinding> findings;
    std::string firstStatusStart; // how the first finding reads on the status line
};

void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.name;
}

using check::FindingKind;

const RunCase kRuns[] = {
    {"TablesAndCallsBetweenBlocks",
     "calls.dis",
     OutputMode::IndividualFiles,
     {{"crc_step", 0x9d000010, FindingKind::AbsoluteAddress},
      {"my_crc32", 0x9d000054, FindingKind::OutsideCall},
      {"my_crc32", 0x9d000060, FindingKind::OutsideCall},
      {"scale_reading", 0x9d0000c8, FindingKind::AbsoluteAddress},
      {"average_of", 0x9d000138, FindingKind::OutsideCall},
      {"limited_average", 0x9d000184, FindingKind::OutsideCall}},
     "crc_step  9d000010  absolute-address  Builds the absolute address 9d000210 (crc_nibble "},
    // A name clash is found on both routines, at their headers.
    {"NameClash",
     "reloc/names.dis",
     OutputMode::IndividualFiles,
     {{"set_x", 0x9d000000, FindingKind::NameClash}, {"setx", 0x9d000008, FindingKind::NameClash}},
     "set_x  9d000000  name-clash  set_x and setx both become CFunction setx"},
    // Merged, every call stays inside the block.
    {"CleanRoutinesMerged", "reloc/clean.dis", OutputMode::Merged, {}, ""},
};

class RelocationFindings : public ::testing::TestWithParam<RunCase> {
  protected:
    AppUnderTest t;

    void makeRun(const RunCase& c) {
        t.env.files[kDisPath] = readWholeFile(fixturePath(c.fixture));
        ConversionSettings& settings = t.app.editOptions().conversion;
        t.app.editOptions().listingPath = kDisPath;
        settings.outputFolder = "C:\\out";
        settings.selectAll = true;
        settings.mode = c.mode;
        settings.includeMain = c.mode == OutputMode::Merged;
        t.app.setMergedNameText("clean");
        t.app.readListing();
        t.app.makeCFunctions();
    }
};

TEST_P(RelocationFindings, MakeRunKeepsThemWithTheirLinesAndReportsThemAsWarnings) {
    const RunCase& c = GetParam();
    makeRun(c);
    const Session& s = t.app.session();

    ASSERT_EQ(s.findings.size(), c.findings.size());
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < c.findings.size(); ++i) {
        const ShownFinding& shown = s.findings[i];
        SCOPED_TRACE(shown.finding.function);
        EXPECT_EQ(shown.finding.function, c.findings[i].function);
        EXPECT_EQ(shown.finding.address, c.findings[i].address);
        EXPECT_EQ(shown.finding.kind, c.findings[i].kind);
        EXPECT_FALSE(shown.finding.sentence().empty());

        // The function entry it marks, and its line in that function's body
        // (the header itself for a name clash).
        ASSERT_GE(shown.function, 0);
        const FunctionEntry& entry = s.functions[static_cast<std::size_t>(shown.function)];
        EXPECT_EQ(entry.name, shown.finding.function);
        ASSERT_GE(shown.listingLine, 0);
        const auto line = static_cast<std::size_t>(shown.listingLine);
        if (shown.finding.kind == FindingKind::NameClash) {
            EXPECT_EQ(line, entry.headerLine);
            EXPECT_EQ(s.listing.address(line), shown.finding.address);
        } else {
            EXPECT_GT(line, entry.headerLine);
            EXPECT_EQ(s.listing.address(line), shown.finding.address);
            for (std::size_t between = entry.headerLine + 1; between <= line; ++between)
                EXPECT_NE(s.listing.line(between).kind, LineKind::Header) << between;
        }
        texts.push_back(findingText(shown.finding));
    }

    // Each on the status line as a warning naming its function and address;
    // the run still writes its files.
    EXPECT_EQ(t.ui.statusLines, texts);
    if (!texts.empty()) {
        EXPECT_EQ(texts[0].rfind(c.firstStatusStart, 0), 0U) << texts[0];
        EXPECT_EQ(s.statusLine, texts.back());
    }
    // Kept once, in the session: the run's report does not hold their texts
    // a second time.
    for (const Diagnostic& d : s.lastReport)
        EXPECT_EQ(std::find(texts.begin(), texts.end(), d.text), texts.end()) << d.text;
    EXPECT_FALSE(s.generatedSource.empty());
    bool wroteBas = false;
    for (const std::string& path : t.env.writes)
        wroteBas = wroteBas || path.rfind("C:\\out\\", 0) == 0;
    EXPECT_TRUE(wroteBas);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RelocationFindings, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<RunCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(RelocationFindingsLife, ANewReadClearsThemAndTheNextRunFindsThemAgain) {
    AppUnderTest t;
    t.env.files[kDisPath] = readWholeFile(fixturePath("calls.dis"));
    t.app.editOptions().listingPath = kDisPath;
    t.app.editOptions().conversion.outputFolder = "C:\\out";
    t.app.editOptions().conversion.selectAll = true;
    t.app.readListing();
    t.app.makeCFunctions();
    ASSERT_FALSE(t.app.session().findings.empty());

    const int before = t.app.session().revision;
    t.app.readListing();
    EXPECT_TRUE(t.app.session().findings.empty());
    EXPECT_GT(t.app.session().revision, before);

    // With one routine left, only its own finding remains.
    for (std::size_t i = 0; i < t.app.session().functions.size(); ++i)
        t.app.selectFunction(i, t.app.session().functions[i].name == "crc_step");
    t.app.makeCFunctions();
    ASSERT_EQ(t.app.session().findings.size(), 1U);
    EXPECT_EQ(t.app.session().findings[0].finding.function, "crc_step");
}

// The sentences of a run over every function of `fixture`, merged.
std::vector<std::string> mergedRunSentences(AppUnderTest& t, const char* fixture) {
    t.env.files[kDisPath] = readWholeFile(fixturePath(fixture));
    t.app.editOptions().listingPath = kDisPath;
    t.app.editOptions().conversion.outputFolder = "C:\\out";
    t.app.editOptions().conversion.selectAll = true;
    t.app.editOptions().conversion.mode = OutputMode::Merged;
    t.app.setMergedNameText("all");
    t.app.readListing();
    t.app.makeCFunctions();
    std::vector<std::string> sentences;
    for (const ShownFinding& shown : t.app.session().findings)
        sentences.push_back(shown.finding.sentence());
    return sentences;
}

// The image a finding names (its sections and symbols) is read when the
// listing is loaded: after another listing is loaded, or the session's
// listing is replaced by hand, a run names the new image, not the old one.
TEST(RelocationFindingsLife, ARunNamesTheImageOfTheListingLoadedLast) {
    AppUnderTest fresh;
    const std::vector<std::string> expected = mergedRunSentences(fresh, "gaps.dis");
    ASSERT_FALSE(expected.empty());

    AppUnderTest reread;
    (void)mergedRunSentences(reread, "calls.dis");
    EXPECT_EQ(mergedRunSentences(reread, "gaps.dis"), expected);

    AppUnderTest replaced;
    (void)mergedRunSentences(replaced, "calls.dis");
    AppUnderTest other;
    (void)mergedRunSentences(other, "gaps.dis");
    replaced.app.editSession().listing = other.app.session().listing;
    replaced.app.editSession().functions = other.app.session().functions;
    replaced.app.makeCFunctions();
    std::vector<std::string> sentences;
    for (const ShownFinding& shown : replaced.app.session().findings)
        sentences.push_back(shown.finding.sentence());
    EXPECT_EQ(sentences, expected);
}

// Two static functions of one name, both merged: each finding points into
// the body it was found in, not the first body of that name.
TEST(RelocationFindingsLife, AFindingPointsIntoItsOwnBodyWhenTwoFunctionsShareAName) {
    ListingBuilder built;
    built.functionLines("twin", {instructionLine(0x9d000000, "00400008", "jr\tv0"),
                                 instructionLine(0x9d000004, "00000000")});
    built.functionLines("twin", {instructionLine(0x9d000100, "00600008", "jr\tv1"),
                                 instructionLine(0x9d000104, "00000000")});
    AppUnderTest t;
    t.app.editSession().listing = built.listing;
    t.app.editSession().functions = built.functions;
    ConversionSettings& settings = t.app.editOptions().conversion;
    settings.outputFolder = "C:\\out";
    settings.mode = OutputMode::Merged;
    t.app.setMergedNameText("twins");
    t.app.makeCFunctions();

    const Session& s = t.app.session();
    ASSERT_EQ(s.findings.size(), 2U);
    for (std::size_t k = 0; k < 2; ++k) {
        const ShownFinding& shown = s.findings[k];
        SCOPED_TRACE(k);
        EXPECT_EQ(shown.finding.kind, FindingKind::IndirectJump);
        ASSERT_EQ(shown.function, static_cast<int>(k));
        ASSERT_GE(shown.listingLine, 0);
        EXPECT_EQ(s.listing.address(static_cast<std::size_t>(shown.listingLine)),
                  shown.finding.address);
        EXPECT_GT(static_cast<std::size_t>(shown.listingLine), s.functions[k].headerLine);
    }
}

} // namespace
} // namespace travonix::test
