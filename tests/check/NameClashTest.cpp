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
    std::vector<std::string> clashing; // the later block of each clash
    const char* mention;               // in the first finding's sentence
};

void PrintTo(const ClashCase& c, std::ostream* out) {
    *out << c.what;
}

class NameClashes : public ::testing::TestWithParam<ClashCase> {};

TEST_P(NameClashes, AreFoundOnceForEachLaterBlock) {
    const ClashCase& c = GetParam();
    const std::vector<Finding> findings = findNameClashes(c.blocks);
    std::vector<std::string> clashing;
    for (const Finding& finding : findings) {
        EXPECT_EQ(finding.kind, FindingKind::NameClash);
        EXPECT_EQ(finding.address, 0u);
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
        {"single file", {{"set_x", "set_x.bas"}, {"setx", "set_x.bas"}}, {"setx"}, "in set_x.bas"},
        {"individual files",
         {{"set_x", "set_x.bas"}, {"setx", "setx.bas"}},
         {"setx"},
         "files set_x.bas and setx.bas"},
        {"file names that differ in letter case",
         {{"Set_X", "Set_X.bas"}, {"set_x", "set_x.bas"}},
         {"set_x"},
         "one file on Windows"},
        {"three ways",
         {{"set_x", "set_x.bas"},
          {"main", "set_x.bas"},
          {"setx", "set_x.bas"},
          {"SETX", "set_x.bas"}},
         {"setx", "SETX"},
         "both become CFunction setx"},
        {"different names", {{"set_x", "set_x.bas"}, {"set_y", "set_x.bas"}}, {}, ""},
        {"underscores only in one place", {{"a_bc", "a.bas"}, {"ab_c", "a.bas"}}, {"ab_c"}, "abc"},
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
    EXPECT_EQ(findNameClashes(single).size(), 1u);
    EXPECT_EQ(findNameClashes(individual).size(), 1u);
    EXPECT_EQ(cfunctionName("set_x"), "setx");
    EXPECT_EQ(cfunctionName("my_fn_2"), "myfn2");
}

} // namespace
} // namespace travonix::check::test
