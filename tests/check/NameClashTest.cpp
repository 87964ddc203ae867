// Blocks that BASIC cannot tell apart, with the routine names of the names
// fixture (set_x and setx) and the files each output mode writes them to.
#include "ListingBodies.h"

#include "check/NameClash.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <ostream>

namespace travonix::check::test {
namespace {

struct ClashCase {
    const char* what;
    std::vector<BlockFile> blocks;
    std::vector<std::string> clashing; // each block of a clash, the first of a name once
    const char* mention;               // in the first finding's sentence
};

void PrintTo(const ClashCase& c, std::ostream* out) {
    *out << c.what;
}

class NameClashes : public ::testing::TestWithParam<ClashCase> {};

// Every block is given the address 0x100 times its place, so each finding
// shows whose header it points at.
TEST_P(NameClashes, AreFoundOnBothBlocksAtTheirHeaders) {
    const ClashCase& c = GetParam();
    std::vector<BlockFile> blocks = c.blocks;
    for (std::size_t b = 0; b < blocks.size(); ++b)
        blocks[b].address = 0x9d000000 + 0x100 * static_cast<std::uint32_t>(b);
    const std::vector<Finding> findings = findNameClashes(blocks);
    std::vector<std::string> clashing;
    for (const Finding& finding : findings) {
        EXPECT_EQ(finding.kind, FindingKind::NameClash);
        ASSERT_LT(finding.block, blocks.size());
        EXPECT_EQ(blocks[finding.block].blockName, finding.function);
        EXPECT_EQ(finding.address, blocks[finding.block].address);
        clashing.push_back(finding.function);
    }
    EXPECT_EQ(clashing, c.clashing);
    if (!findings.empty()) {
        EXPECT_NE(findings.front().sentence().find(c.mention), std::string::npos)
            << findings.front().sentence();
    }
}

std::vector<ClashCase> clashCases() {
    return {
        {"single file",
         {{"set_x", "set_x.bas"}, {"setx", "set_x.bas"}},
         {"set_x", "setx"},
         "in set_x.bas"},
        {"individual files",
         {{"set_x", "set_x.bas"}, {"setx", "setx.bas"}},
         {"set_x", "setx"},
         "files set_x.bas and setx.bas"},
        {"file names that differ in letter case",
         {{"Set_X", "Set_X.bas"}, {"set_x", "set_x.bas"}},
         {"Set_X", "set_x"},
         "one file on Windows"},
        // Each is named with the CFunction it really becomes.
        {"letter case only",
         {{"Set_Led", "Set_Led.bas"}, {"setled", "setled.bas"}},
         {"Set_Led", "setled"},
         "Set_Led becomes CFunction SetLed and setled becomes CFunction setled, one name to "
         "BASIC"},
        {"three ways",
         {{"set_x", "set_x.bas"},
          {"main", "set_x.bas"},
          {"setx", "set_x.bas"},
          {"SETX", "set_x.bas"}},
         {"set_x", "setx", "SETX"},
         "both become CFunction setx"},
        {"different names", {{"set_x", "set_x.bas"}, {"set_y", "set_x.bas"}}, {}, ""},
        {"underscores only in one place",
         {{"a_bc", "a.bas"}, {"ab_c", "a.bas"}},
         {"a_bc", "ab_c"},
         "abc"},
    };
}

INSTANTIATE_TEST_SUITE_P(Modes, NameClashes, ::testing::ValuesIn(clashCases()),
                         [](const ::testing::TestParamInfo<ClashCase>& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (c == ' ')
                                     c = '_';
                             return name;
                         });

TEST(NameClash, TheRoutinesOfTheNamesFixtureClashInEveryMode) {
    const std::string listing =
        travonix::test::readWholeFile(travonix::test::fixturePath("reloc/names.dis"));
    std::vector<BlockFile> single;
    std::vector<BlockFile> individual;
    for (const ListedRoutine& routine : convertible(routinesOf(listing))) {
        single.push_back({routine.body.name, "set_x.bas"});
        individual.push_back({routine.body.name, routine.body.name + ".bas"});
    }
    ASSERT_EQ(single.size(), 3u); // set_x, setx, main
    EXPECT_EQ(findNameClashes(single).size(), 2u);
    EXPECT_EQ(findNameClashes(individual).size(), 2u);
    EXPECT_EQ(cfunctionName("set_x"), "setx");
    EXPECT_EQ(cfunctionName("my_fn_2"), "myfn2");
}

TEST(BadName, ANameNoBasicNameCanHoldIsAFindingAtItsHeader) {
    const struct {
        const char* blockName;
        const char* holds; // nullptr: a good name
    } cases[] = {
        {"table-0x14", "\"-\""}, {"f+4", "\"+\""},   {"two words", "a blank"}, {"f(x)", "\"(\""},
        {"arr[2]", "\"[\""},     {"set_x", nullptr}, {"message.0", nullptr},   {"Int2Str", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blockName);
        const std::vector<Finding> findings =
            findBadNames({{c.blockName, std::string(c.blockName) + ".bas", 0x9d000040}});
        ASSERT_EQ(findings.size(), c.holds != nullptr ? 1u : 0u);
        if (c.holds == nullptr)
            continue;
        const Finding& finding = findings[0];
        EXPECT_EQ(finding.kind, FindingKind::BadName);
        EXPECT_EQ(findingKindName(finding.kind), "bad-name");
        EXPECT_EQ(finding.function, c.blockName);
        EXPECT_EQ(finding.address, 0x9d000040u);
        EXPECT_EQ(finding.sentence().rfind("CFunction " + cfunctionName(c.blockName) + " holds " +
                                               c.holds + ", which no BASIC name can hold",
                                           0),
                  0u)
            << finding.sentence();
        EXPECT_NE(finding.sentence().find("Give the data a symbol"), std::string::npos);
    }
}

} // namespace
} // namespace travonix::check::test
