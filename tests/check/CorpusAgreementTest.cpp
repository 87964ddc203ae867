// The check against the execution corpus, whose table says how each routine
// fared when its generated block ran on an emulated core at other addresses:
// every routine that broke there has a finding here, and every routine that
// ran has none once all routines share one block.
#include "ListingBodies.h"

#include "check/RelocationCheck.h"
#include "execution/Corpus.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace travonix::check::test {
namespace {

using execution::CorpusFunction;
using execution::Placement;

// Kinds of the findings of each routine, converted as the tool converts the
// corpus listing: one block per routine, or all routines merged.
std::map<std::string, std::multiset<std::string>> kindsByRoutine(const std::string& program,
                                                                 bool merged) {
    const std::string listing =
        travonix::test::readWholeFile(execution::corpusPath(program + ".dis"));
    const std::vector<ListedRoutine> routines = convertible(routinesOf(listing));
    const std::vector<Finding> findings =
        checkRelocation(listing, merged ? mergedBlock(routines) : oneBlockEach(routines));
    std::map<std::string, std::multiset<std::string>> kinds;
    for (const ListedRoutine& routine : routines)
        kinds[routine.body.name];
    for (const Finding& finding : findings)
        kinds[finding.function].insert(std::string(findingKindName(finding.kind)));
    return kinds;
}

class CorpusAgreement : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusAgreement, FindingsMatchHowTheRoutinesRanRelocated) {
    const std::string& program = GetParam();
    const auto merged = kindsByRoutine(program, true);
    const auto separate = kindsByRoutine(program, false);
    int routines = 0;
    for (const CorpusFunction& function : execution::corpusFunctions()) {
        if (function.program != program)
            continue;
        ++routines;
        SCOPED_TRACE(function.name);
        ASSERT_EQ(merged.count(function.name), 1u) << "not in the listing";
        const std::multiset<std::string>& together = merged.at(function.name);
        const std::multiset<std::string>& alone = separate.at(function.name);
        switch (function.placement) {
        case Placement::PositionDependent:
            EXPECT_FALSE(together.empty());
            EXPECT_FALSE(alone.empty());
            break;
        case Placement::OutOfReach:
            EXPECT_EQ(together.count("out-of-reach"), 1u);
            EXPECT_EQ(alone.count("out-of-reach"), 1u);
            break;
        case Placement::Relocatable:
            EXPECT_TRUE(together.empty());
            // Alone, a routine that calls others has only its calls found.
            if (function.selfContained) {
                EXPECT_TRUE(alone.empty());
            } else {
                EXPECT_FALSE(alone.empty());
                EXPECT_EQ(alone.count("outside-call"), alone.size());
            }
            break;
        }
    }
    EXPECT_GT(routines, 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusAgreement, ::testing::ValuesIn(execution::corpusPrograms()));

// Each code routine of the corpus listings is in the table, so none escapes
// the comparison above.
TEST(CorpusAgreement, CoversEveryCodeRoutineOfTheListings) {
    std::set<std::string> classed;
    for (const CorpusFunction& function : execution::corpusFunctions())
        classed.insert(function.program + "/" + function.name);
    for (const std::string& program : execution::corpusPrograms()) {
        const std::string listing =
            travonix::test::readWholeFile(execution::corpusPath(program + ".dis"));
        for (const ListedRoutine& routine : routinesOf(listing))
            if (routine.section == ".text") {
                EXPECT_EQ(classed.count(program + "/" + routine.body.name), 1u)
                    << program << " " << routine.body.name;
            }
    }
}

} // namespace
} // namespace travonix::check::test
