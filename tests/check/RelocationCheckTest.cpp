// The relocation check on real toolchain output: the programs of
// tests/fixtures/reloc (README.md there says what each holds), converted the
// way the tool converts them, one block per routine or all in one block.
#include "ListingBodies.h"

#include "check/InstructionLine.h"
#include "check/RelocationCheck.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <sstream>

namespace travonix::check::test {
namespace {

enum class Blocks { OneEach, Merged, MergedWithoutGapFiller };

struct FixtureCase {
    const char* program;
    Blocks blocks;
    // One finding a line: "kind routine address".
    std::vector<std::string> expected;
};

void PrintTo(const FixtureCase& c, std::ostream* out) {
    *out << c.program;
}

std::string listingOf(const std::string& program) {
    return travonix::test::readWholeFile(travonix::test::fixturePath("reloc/" + program + ".dis"));
}

std::vector<BlockContent> blocksOf(const std::string& listing, Blocks blocks) {
    std::vector<ListedRoutine> routines = convertible(routinesOf(listing));
    switch (blocks) {
    case Blocks::OneEach:
        return oneBlockEach(routines);
    case Blocks::Merged:
        return mergedBlock(routines);
    case Blocks::MergedWithoutGapFiller:
        return mergedBlock(without(routines, {"gap_filler"}));
    }
    return {};
}

std::string summary(const Finding& finding) {
    std::ostringstream text;
    text << findingKindName(finding.kind) << " " << finding.function << " " << std::hex
         << finding.address;
    return text.str();
}

std::vector<std::string> summaries(const std::vector<Finding>& findings) {
    std::vector<std::string> lines;
    for (const Finding& finding : findings)
        lines.push_back(summary(finding));
    return lines;
}

class FixtureFindings : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureFindings, AreExactlyTheLinesThatBreakWhenLoadedElsewhere) {
    const FixtureCase& c = GetParam();
    const std::string listing = listingOf(c.program);
    const std::vector<Finding> findings = checkRelocation(listing, blocksOf(listing, c.blocks));
    EXPECT_EQ(summaries(findings), c.expected);
    for (const Finding& finding : findings) {
        EXPECT_FALSE(finding.sentence().empty()) << summary(finding);
        EXPECT_EQ(finding.sentence().back(), '.') << finding.sentence();
    }
}

const std::vector<std::string> kTablesCommon = {
    "absolute-address gamma_lookup 9d000008", "absolute-address command_cost 9d000028",
    "indirect-jump command_cost 9d000034",    "absolute-address apply_step 9d0000a8",
    "indirect-jump apply_step 9d0000b4",
};

std::vector<std::string> tablesFindings(bool oneEach) {
    std::vector<std::string> all = kTablesCommon;
    if (oneEach)
        all.push_back("outside-call main 9d0000dc");
    all.push_back("absolute-address main 9d0000ec");
    if (oneEach)
        all.push_back("outside-call main 9d000100");
    // The switch's jump table lies under gamma_curve, straight after its 16
    // bytes; the function pointers are steppers.
    for (const char* at :
         {"9d000130", "9d000134", "9d000138", "9d00013c", "9d000140", "9d000144", "9d000148"})
        all.push_back(std::string("absolute-address gamma_curve ") + at);
    all.push_back("absolute-address steppers 9d00014c");
    all.push_back("absolute-address steppers 9d000150");
    return all;
}

std::vector<std::string> globalsFindings(bool oneEach) {
    std::vector<std::string> all = {
        "unemitted-section count_event 9d000004", "unemitted-section count_event 9d000010",
        "unemitted-section add_to_total 9d000018", "unemitted-section add_to_total 9d000024"};
    if (oneEach)
        all.push_back("outside-call main 9d000034");
    for (const char* at : {"9d000040", "9d000048", "9d000050"})
        all.push_back(std::string("unemitted-section main ") + at);
    all.push_back("unemitted-section event_count_ref 9d000070");
    return all;
}

const std::vector<FixtureCase> kFixtureCases = {
    FixtureCase{"tables", Blocks::OneEach, tablesFindings(true)},
    FixtureCase{"tables", Blocks::Merged, tablesFindings(false)},
    FixtureCase{"globals", Blocks::OneEach, globalsFindings(true)},
    FixtureCase{"globals", Blocks::Merged, globalsFindings(false)},
    FixtureCase{"smalldata",
                Blocks::OneEach,
                {"gp-relative next_sample_time 9d000000", "gp-relative next_sample_time 9d000008",
                 "gp-relative next_sample_time 9d000014", "outside-call main 9d000030",
                 "gp-relative main 9d000034"}},
    FixtureCase{"mutual",
                Blocks::OneEach,
                {"outside-call is_even_count 9d000018", "outside-call is_odd_count 9d000054",
                 "outside-call main 9d000074"}},
    FixtureCase{"mutual", Blocks::Merged, {}},
    // gap_filler lies between the two at link time: without it every call
    // lands 16 bytes off.
    FixtureCase{"mutual",
                Blocks::MergedWithoutGapFiller,
                {"outside-call is_even_count 9d000018", "outside-call is_odd_count 9d000054",
                 "outside-call main 9d000074"}},
    FixtureCase{"farcall",
                Blocks::OneEach,
                {"out-of-reach checked_value 9d00000c", "outside-call main 9d00002c"}},
    FixtureCase{"farcall", Blocks::Merged, {"out-of-reach checked_value 9d00000c"}},
    FixtureCase{
        "clean", Blocks::OneEach, {"outside-call main 9d0000e0", "outside-call main 9d0000f8"}},
    FixtureCase{"clean", Blocks::Merged, {}},
    FixtureCase{"names", Blocks::OneEach, {}},
};

std::string fixtureCaseName(const ::testing::TestParamInfo<FixtureCase>& info) {
    static const char* modes[] = {"OneEach", "Merged", "MergedWithoutGapFiller"};
    return std::string(info.param.program) + "_" + modes[static_cast<int>(info.param.blocks)];
}

INSTANTIATE_TEST_SUITE_P(RelocFixtures, FixtureFindings, ::testing::ValuesIn(kFixtureCases),
                         fixtureCaseName);

// Linked by Debian's default script instead (.text at 0x00400130 or
// 0x00400150), objdump prints addresses without leading zeros: the program
// must give the same findings, on the same lines of the same routines.
std::uint32_t routineStart(const ListedRoutine& routine) {
    const auto head = parseWordLineHead(routine.body.lines.front());
    return head ? head->address : 0;
}

// "kind routine +offset": a finding wherever the program was linked. A name
// clash, which has no line, keeps its address 0.
std::vector<std::string> placeFree(const std::string& listing,
                                   const std::vector<Finding>& findings) {
    const std::vector<ListedRoutine> routines = convertible(routinesOf(listing));
    std::vector<std::string> lines;
    for (const Finding& finding : findings) {
        std::ostringstream text;
        text << findingKindName(finding.kind) << " " << finding.function << " ";
        const auto routine =
            std::find_if(routines.begin(), routines.end(),
                         [&](const ListedRoutine& r) { return r.body.name == finding.function; });
        if (finding.address == 0 || routine == routines.end())
            text << finding.address;
        else
            text << "+" << std::hex << finding.address - routineStart(*routine);
        lines.push_back(text.str());
    }
    return lines;
}

class DefaultAddressFindings : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(DefaultAddressFindings, AreTheFindingsOfTheProgramLinkedAtPic32Flash) {
    const FixtureCase& c = GetParam();
    const std::string pic32 = listingOf(c.program);
    const std::string debian = listingOf(std::string(c.program) + "-default");
    const std::vector<ListedRoutine> routines = convertible(routinesOf(debian));
    ASSERT_FALSE(routines.empty());
    EXPECT_GE(routineStart(routines.front()), 0x00400130u);
    EXPECT_LT(routineStart(routines.front()), 0x00400200u);
    const std::vector<Finding> expected = checkRelocation(pic32, blocksOf(pic32, c.blocks));
    ASSERT_EQ(expected.size(), c.expected.size());
    const std::vector<Finding> found = checkRelocation(debian, blocksOf(debian, c.blocks));
    EXPECT_EQ(placeFree(debian, found), placeFree(pic32, expected));
}

INSTANTIATE_TEST_SUITE_P(RelocFixtures, DefaultAddressFindings, ::testing::ValuesIn(kFixtureCases),
                         fixtureCaseName);

// What the sentence tells the user: the address or target concerned, and
// the way out.
struct SentenceCase {
    const char* program;
    const char* routine;
    std::uint32_t address;
    std::vector<std::string> mentions;
};

void PrintTo(const SentenceCase& c, std::ostream* out) {
    *out << c.program << " " << c.routine;
}

class FindingSentence : public ::testing::TestWithParam<SentenceCase> {};

TEST_P(FindingSentence, NamesWhatIsReachedAndWhatToDo) {
    const SentenceCase& c = GetParam();
    const std::string listing = listingOf(c.program);
    const std::vector<Finding> findings =
        checkRelocation(listing, blocksOf(listing, Blocks::OneEach));
    const Finding* found = nullptr;
    for (const Finding& finding : findings)
        if (finding.function == c.routine && finding.address == c.address)
            found = &finding;
    ASSERT_NE(found, nullptr) << c.routine;
    for (const std::string& part : c.mentions)
        EXPECT_NE(found->sentence().find(part), std::string::npos)
            << "\"" << part << "\" not in: " << found->sentence();
}

const std::vector<SentenceCase> kSentenceCases = {
    SentenceCase{"tables",
                 "gamma_lookup",
                 0x9d000008,
                 {"9d000120 (gamma_curve in .rodata)", "immediate values", "from BASIC"}},
    SentenceCase{"tables",
                 "gamma_curve",
                 0x9d000130,
                 {"9d00003c (command_cost+0x24 in .text)", "-fno-jump-tables"}},
    SentenceCase{"tables", "command_cost", 0x9d000034, {"jr v0", "-fno-jump-tables"}},
    SentenceCase{"tables", "apply_step", 0x9d0000b4, {"jalr v0", "function pointer"}},
    SentenceCase{"globals",
                 "count_event",
                 0x9d000004,
                 {"a0000000 (event_count in .data)", ".data is not written", "local"}},
    SentenceCase{"globals",
                 "add_to_total",
                 0x9d000018,
                 {"a0000010 (running_total in .bss)", ".bss is not written"}},
    SentenceCase{"globals", "event_count_ref", 0x9d000070, {"a0000000 (event_count in .data)"}},
    SentenceCase{"smalldata",
                 "next_sample_time",
                 0x9d000000,
                 {"Reaches a0000004 (sample_count in .sbss) through $gp", "-G0"}},
    SentenceCase{"smalldata", "next_sample_time", 0x9d000014, {"a0000000 (sample_rate in .sdata)"}},
    SentenceCase{
        "mutual", "is_even_count", 0x9d000018, {"bal to 9d00003c <is_odd_count>", "merge mode"}},
    SentenceCase{"farcall", "checked_value", 0x9d00000c, {"jal to 9d040000 <firmware_crc>"}},
};

std::string sentenceCaseName(const ::testing::TestParamInfo<SentenceCase>& info) {
    std::ostringstream name;
    name << info.param.routine << "_" << std::hex << info.param.address;
    return name.str();
}

INSTANTIATE_TEST_SUITE_P(RelocFixtures, FindingSentence, ::testing::ValuesIn(kSentenceCases),
                         sentenceCaseName);

TEST(MovedTarget, SentenceSaysHowFarOffAndWhy) {
    const std::string listing = listingOf("mutual");
    const std::vector<Finding> findings =
        checkRelocation(listing, blocksOf(listing, Blocks::MergedWithoutGapFiller));
    ASSERT_FALSE(findings.empty());
    // is_odd_count lies 16 bytes nearer in the block than at link time.
    EXPECT_NE(findings.front().sentence().find("lands 16 bytes after"), std::string::npos)
        << findings.front().sentence();
    EXPECT_NE(findings.front().sentence().find("left out"), std::string::npos);
}

} // namespace
} // namespace travonix::check::test
