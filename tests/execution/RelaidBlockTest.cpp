// Runs merged blocks re-laid with positionIndependent on an emulated PIC32
// core, with only the block's words in memory, at addresses other than the
// link address (two in data RAM, one in program flash a little past the link
// address, inside the range the program was linked for), and compares every
// result with the same routine run from the linked program.

#include "execution/BasGenerator.h"
#include "execution/BlockLayout.h"
#include "execution/CFunctionBlock.h"
#include "execution/CallOutcome.h"
#include "execution/Corpus.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace travonix::execution {
namespace {

constexpr std::uint32_t kRelaidLoadAddresses[] = {0xA0001000, 0x80024A04, 0x9D000100};

struct RelayRoutine {
    std::string name;
    std::vector<CorpusCall> calls;
};

// The routines of relay.c and the calls each is run with.
const std::vector<RelayRoutine>& relayRoutines() {
    static const std::vector<RelayRoutine> routines = [] {
        std::vector<RelayRoutine> r = {
            {"byte_at", {{{0}}, {{5}}, {{19}}}},
            {"prime_sum", {{{0}}, {{5}}, {{12}}, {{40}}}},
            {"greeting_char", {{{0}}, {{7}}, {{100}}}},
            {"count_letter", {{{'e'}}, {{'n'}}, {{'z'}}}},
            {"dispatch", {{{0, 7, 3}}, {{1, 7, 3}}, {{2, 7, 3}}, {{3, 7, 3}}, {{6, -2, 9}}}},
            {"use_callbacks", {{{3}}, {{-10}}}},
            {"big_at", {{{0}}, {{3}}, {{0x80FF}}, {{0x8105}}}},
            {"after_big_at", {{{0}}, {{3}}, {{5}}}},
            {"op_add", {{{3, 4}}}},
        };
        RelayRoutine classify{"classify", {}};
        for (int op = -1; op <= 10; ++op)
            classify.calls.push_back(CorpusCall({op, 12, 5}));
        r.push_back(classify);
        return r;
    }();
    return routines;
}

std::string relayPath(const std::string& file) {
    return std::string(TRAVONIX_FIXTURES_DIR) + "/../execution/relay/" + file;
}

const ElfImage& linkedProgram(const std::string& path) {
    static std::map<std::string, ElfImage> cache;
    auto it = cache.find(path);
    if (it == cache.end())
        it = cache.emplace(path, ElfImage::load(path)).first;
    return it->second;
}

const GeneratedBas& relaid(const std::string& disPath) {
    static std::map<std::string, GeneratedBas> cache;
    auto it = cache.find(disPath);
    if (it == cache.end())
        it = cache
                 .emplace(disPath,
                          generateBas(test::readWholeFile(disPath), OutputMode::Merged, true, true))
                 .first;
    return it->second;
}

// Runs each call at every load address with only the block's words in
// memory; every outcome must equal the reference.
void expectRunsEqual(const GeneratedBas& output, const ElfImage& image, const std::string& name,
                     const std::vector<CorpusCall>& calls) {
    std::vector<CallOutcome> want;
    for (const CorpusCall& call : calls) {
        want.push_back(referenceCall(image, name, call));
        ASSERT_EQ(want.back().status, RunStatus::Returned) << name << call;
    }
    for (std::uint32_t address : kRelaidLoadAddresses) {
        const BlockLayout layout = relaidLayout(output, name, address);
        MipsMachine machine;
        // Flash is mapped for the block's words only, as the chip would hold them.
        for (const PlacedWords& piece : layout.pieces)
            machine.map(piece.address, 4 * static_cast<std::uint32_t>(piece.words.size()));
        layout.loadInto(machine);
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const CallOutcome got = runCall(machine, layout.entry, calls[i]);
            EXPECT_TRUE(got.matches(want[i]))
                << name << calls[i] << " loaded at " << std::hex << address << ": got " << got
                << ", reference " << want[i];
        }
    }
}

class RelayFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(RelayFixture, EveryRoutineRunsRelaidEqualToTheLinkedProgram) {
    const std::string level = GetParam();
    const GeneratedBas& output = relaid(relayPath("relay-" + level + ".dis"));
    ASSERT_TRUE(output.relay.has_value());
    ASSERT_TRUE(output.relay->relaid) << output.relay->refusal;
    EXPECT_GT(output.relay->wordsAfter, output.relay->wordsBefore);
    for (const relay::LeftAsIs& left : output.relay->left)
        ADD_FAILURE() << "left at " << std::hex << left.address << ": " << left.reason;
    // The window shows the words the file holds, not the words before re-laying.
    ASSERT_EQ(output.files.size(), 1U);
    const std::vector<CFunctionBlock> written = parseCFunctionBlocks(output.files.begin()->second);
    ASSERT_EQ(written.size(), 1U);
    EXPECT_EQ(output.shownWords, written[0].words);
    const ElfImage& image = linkedProgram(relayPath("relay-" + level + ".elf"));
    for (const RelayRoutine& routine : relayRoutines()) {
        SCOPED_TRACE(level + " " + routine.name);
        expectRunsEqual(output, image, routine.name, routine.calls);
    }
}

INSTANTIATE_TEST_SUITE_P(OptimisationLevels, RelayFixture, ::testing::Values("O1", "O2", "Os"));

// The blocks without re-laying break away from the link address (the
// fixture does what it is for): the same runs with the option off differ.
TEST(RelayFixtureWithoutTheOption, BreaksAwayFromItsLinkAddress) {
    const std::string dis = test::readWholeFile(relayPath("relay-O2.dis"));
    const GeneratedBas output = generateBas(dis, OutputMode::Merged);
    EXPECT_FALSE(output.relay.has_value());
    const ElfImage& image = linkedProgram(relayPath("relay-O2.elf"));
    for (const char* name : {"byte_at", "greeting_char", "classify", "dispatch"}) {
        const CorpusCall call({3, 4, 5});
        const CallOutcome want = referenceCall(image, name, call);
        const BlockLayout layout = relaidLayout(output, name, 0xA0001000);
        MipsMachine machine;
        layout.loadInto(machine);
        EXPECT_FALSE(runCall(machine, layout.entry, call).matches(want)) << name;
    }
}

// The whole execution corpus with the option on: every routine that does not
// call beyond a branch's reach runs equal, the position-dependent ones too.
TEST(RelaidCorpus, RunsEqualToTheLinkedPrograms) {
    for (const std::string& program : corpusPrograms()) {
        SCOPED_TRACE(program);
        const GeneratedBas& output = relaid(corpusPath(program + ".dis"));
        ASSERT_TRUE(output.relay.has_value());
        ASSERT_TRUE(output.relay->relaid) << output.relay->refusal;
        const ElfImage& image = linkedProgram(corpusPath(program + ".elf"));
        for (const CorpusFunction& function : corpusFunctions()) {
            if (function.program != program || function.placement == Placement::OutOfReach)
                continue;
            SCOPED_TRACE(function.name);
            expectRunsEqual(output, image, function.name, function.calls);
        }
    }
}

} // namespace
} // namespace travonix::execution
