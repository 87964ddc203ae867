// A large block is checked in shares of its routines, by as many threads as
// help: the findings must be those of one pass over the whole block, also
// when the block's words do not come in address order or one is placed
// twice, and for branches from one share into another.
#include "ListingBodies.h"

#include "check/RelocationCheck.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <limits>
#include <ostream>

namespace travonix::check::test {
namespace {

struct SharedCase {
    const char* name;
    const char* fixture; // a listing of tests/fixtures or the execution corpus
    // How the routines are made into blocks.
    std::vector<BlockContent> (*blocksOf)(const std::vector<ListedRoutine>&);
};

void PrintTo(const SharedCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<BlockContent> merged(const std::vector<ListedRoutine>& routines) {
    return mergedBlock(routines);
}

std::vector<BlockContent> mergedBackwards(const std::vector<ListedRoutine>& routines) {
    return mergedBlock(std::vector<ListedRoutine>(routines.rbegin(), routines.rend()));
}

std::vector<BlockContent> mergedTwice(const std::vector<ListedRoutine>& routines) {
    std::vector<ListedRoutine> twice = routines;
    twice.insert(twice.end(), routines.begin(), routines.end());
    return mergedBlock(twice);
}

// Every other routine left out, so branches cross holes.
std::vector<BlockContent> mergedWithHoles(const std::vector<ListedRoutine>& routines) {
    std::vector<ListedRoutine> kept;
    for (std::size_t i = 0; i < routines.size(); i += 2)
        kept.push_back(routines[i]);
    return mergedBlock(kept);
}

std::vector<BlockContent> eachAlone(const std::vector<ListedRoutine>& routines) {
    return oneBlockEach(routines);
}

const SharedCase kCases[] = {
    {"CallsMerged", "calls.dis", merged},
    {"CallsBackwards", "calls.dis", mergedBackwards},
    {"CallsTwice", "calls.dis", mergedTwice},
    {"CallsWithHoles", "calls.dis", mergedWithHoles},
    {"CallsEachAlone", "calls.dis", eachAlone},
    {"FarcallMerged", "farcall.dis", merged},
    {"GapsWithoutZMerged", "gaps-noz.dis", merged},
    {"FarcallBackwards", "farcall.dis", mergedBackwards},
    {"FarcallTwice", "farcall.dis", mergedTwice},
    {"GapsWithoutZBackwards", "gaps-noz.dis", mergedBackwards},
    {"HostileBackwards", "hostile.dis", mergedBackwards},
    {"HostileWithHoles", "hostile.dis", mergedWithHoles},
    {"JalrMerged", "jalr.dis", merged},
    {"JalrWithHoles", "jalr.dis", mergedWithHoles},
};

std::vector<Finding> inOnePass(const std::string& listing, const BlockSource& blocks) {
    RelocationCheckRun run(listing, blocks, std::numeric_limits<std::size_t>::max());
    return run.findings();
}

void expectSame(const std::vector<Finding>& found, const std::vector<Finding>& expected) {
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(found[i].kind, expected[i].kind);
        EXPECT_EQ(found[i].function, expected[i].function);
        EXPECT_EQ(found[i].address, expected[i].address);
        EXPECT_EQ(found[i].sentence(), expected[i].sentence());
    }
}

class SharedCheck : public ::testing::TestWithParam<SharedCase> {};

TEST_P(SharedCheck, GivesTheFindingsOfOnePass) {
    const std::string listing =
        travonix::test::readWholeFile(travonix::test::fixturePath(GetParam().fixture));
    const std::vector<BlockContent> blocks = GetParam().blocksOf(convertible(routinesOf(listing)));
    const ContentBlocks source(blocks);
    const std::vector<Finding> expected = inOnePass(listing, source);
    ASSERT_FALSE(expected.empty()); // each fixture has something to find

    for (std::size_t share : {1, 2, 3, 5}) {
        SCOPED_TRACE(share);
        RelocationCheckRun alone(listing, source, share);
        expectSame(alone.findings(), expected);

        RelocationCheckRun shared(listing, source, share);
        auto helper = std::async(std::launch::async, [&shared] { shared.help(); });
        shared.help();
        helper.get();
        expectSame(shared.findings(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SharedCheck, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SharedCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace travonix::check::test
