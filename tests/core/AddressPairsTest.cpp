// The %hi/%lo pairing rules of the re-laying, as tables of word sequences:
// which lui serves which uses, with which targets.

#include "core/relay/AddressPairs.h"
#include "core/relay/MipsFields.h"
#include "core/relay/Relayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace travonix::relay {
namespace {

constexpr std::uint32_t kV0 = 2, kV1 = 3, kA0 = 4, kA1 = 5;
constexpr std::uint32_t kBase = 0x9D000000;

// A few more encodings the cases need.
constexpr std::uint32_t lbu(std::uint32_t rt, std::int32_t offset, std::uint32_t base) {
    return itype(0x24, base, rt, static_cast<std::uint32_t>(offset));
}
constexpr std::uint32_t beqz(std::uint32_t rs, std::int32_t offset) {
    return itype(0x04, rs, 0, static_cast<std::uint32_t>(offset));
}
constexpr std::uint32_t jrRa() {
    return (kRa << 21) | 0x08;
}

struct Expected {
    std::size_t lui;
    std::vector<std::uint32_t> targets;
    bool inDelaySlot = false;
};

struct PairCase {
    std::string rule;
    std::vector<std::uint32_t> words;
    std::vector<Expected> pairs;
};

const std::vector<PairCase>& pairCases() {
    static const std::vector<PairCase> cases = {
        {"addiu completes the address",
         {lui(kV0, 0x9D00), addiu(kA0, kV0, 0x10)},
         {{0, {0x9D000010}}}},
        {"a %lo of 0x8000 or more is negative: its %hi carried",
         {lui(kV0, 0x9D01), lw(kV1, -0x7F84, kV0)},
         {{0, {0x9D00807C}}}},
        {"ori is zero-extended: no carry",
         {lui(kV0, 0x9D00), ori(kV0, kV0, 0x8000)},
         {{0, {0x9D008000}}}},
        {"one lui serves several uses",
         {lui(kV0, 0x9D00), lbu(kA0, 4, kV0), lbu(kA1, 8, kV0), sw(kA1, 12, kV0)},
         {{0, {0x9D000004, 0x9D000008, 0x9D00000C}}}},
        {"the use may sit in a branch's delay slot",
         {lui(kV0, 0x9D00), beqz(kA0, 2), addiu(kV1, kV0, 0x20), kNop},
         {{0, {0x9D000020}}}},
        {"a write to the register ends the lui's value",
         {lui(kV0, 0x9D00), addu(kV0, kA0, kA1), addiu(kV1, kV0, 4)},
         {{0, {}}}},
        {"a load into the base register ends it after the load",
         {lui(kV0, 0x9D00), lw(kV0, 8, kV0), lw(kV1, 4, kV0)},
         {{0, {0x9D000008}}}},
        {"nothing after an unconditional jump's delay slot follows it",
         {lui(kV0, 0x9D00), jrRa(), kNop, addiu(kV1, kV0, 4)},
         {{0, {}}}},
        {"a lui in a delay slot is marked",
         {beqz(kA0, 3), lui(kV0, 0x9D00), addiu(kV1, kV0, 4)},
         {{1, {0x9D000004}, true}}},
        {"$zero is neither a lui's register nor a base",
         {lui(kZero, 0x9D00), addiu(kV1, kZero, 4), lui(kV0, 0x1234)},
         {{2, {}}}},
        {"an addu with an index carries the lui to its result",
         {lui(kV0, 0x9D01), addu(kV0, kV0, kA0), lbu(kV1, -0x7FF0, kV0)},
         {{0, {0x9D008010}}}},
        {"an addu of two luis' registers carries neither",
         {lui(kV0, 0x9D00), lui(kV1, 0x9D01), addu(kA0, kV0, kV1), lbu(kA1, 4, kA0)},
         {{0, {}}, {1, {}}}},
        {"a second lui of the register takes over",
         {lui(kV0, 0x9D00), lui(kV0, 0x9D01), addiu(kV1, kV0, 4)},
         {{0, {}}, {1, {0x9D010004}}}},
    };
    return cases;
}

BlockImage codeImage(const std::vector<std::uint32_t>& words) {
    BlockImage image;
    image.words = words;
    image.routines = {{0, true, kBase}};
    return image;
}

TEST(AddressPairs, FollowTheHiLoRules) {
    for (const PairCase& c : pairCases()) {
        SCOPED_TRACE(c.rule);
        const std::vector<AddressPair> pairs = findAddressPairs(codeImage(c.words));
        ASSERT_EQ(pairs.size(), c.pairs.size());
        for (std::size_t p = 0; p < pairs.size(); ++p) {
            EXPECT_EQ(pairs[p].lui, c.pairs[p].lui);
            EXPECT_EQ(pairs[p].inDelaySlot, c.pairs[p].inDelaySlot);
            std::vector<std::uint32_t> targets;
            for (const LowUse& use : pairs[p].uses)
                targets.push_back(use.target);
            EXPECT_EQ(targets, c.pairs[p].targets);
        }
    }
}

TEST(AddressPairs, DataRoutinesAreNotRead) {
    BlockImage image = codeImage({lui(kV0, 0x9D00), addiu(kV1, kV0, 4)});
    image.routines = {{0, false, kBase}};
    EXPECT_TRUE(findAddressPairs(image).empty());
}

// What the re-laying leaves as it is, and that it says why.
struct LeftCase {
    std::string what;
    std::vector<std::uint32_t> code; // then one data word at the end of the block
    std::uint32_t dataWord;
    std::uint32_t leftAddress;
    std::string reasonPart;
};

TEST(Relayer, LeavesWhatItCannotFollowAndSaysWhy) {
    // The block: the code words, then one data word at kBase + 4 * code.size().
    const std::vector<LeftCase> cases = {
        {"a lui in the delay slot of a branch that reads its register",
         {beqz(kV0, 3), lui(kV0, 0x9D00), addiu(kV1, kV0, 0x14), jrRa(), kNop},
         0,
         kBase + 4,
         "delay slot"},
        {"a register serving code and data",
         {lui(kV0, 0x9D00), addiu(kV1, kV0, 0), addiu(kA0, kV0, 0x14), jrRa(), kNop},
         0,
         kBase,
         "both code and data"},
        {"a register serving inside and outside the block",
         {lui(kV0, 0x9D00), addiu(kV1, kV0, 0x14), addiu(kA0, kV0, 0x400), jrRa(), kNop},
         0,
         kBase,
         "inside and outside"},
        {"a data word pointing at data of the block",
         {jrRa(), kNop},
         kBase + 8,
         kBase + 8,
         "address of data"},
    };
    for (const LeftCase& c : cases) {
        SCOPED_TRACE(c.what);
        BlockImage image = codeImage(c.code);
        image.routines.push_back(
            {c.code.size(), false, kBase + 4 * static_cast<std::uint32_t>(c.code.size())});
        image.words.push_back(c.dataWord);
        const RelayOutcome out = relayBlock(image);
        ASSERT_TRUE(out.relaid) << out.refusal;
        bool found = false;
        for (const LeftAsIs& left : out.left)
            found = found || (left.address == c.leftAddress &&
                              left.reason.find(c.reasonPart) != std::string::npos);
        EXPECT_TRUE(found);
        EXPECT_EQ(std::count(out.fixed.begin(), out.fixed.end(), c.leftAddress), 0);
    }
}

// A data address becomes a run-time address built from `bal`, and every
// branch keeps its target under the new layout.
TEST(Relayer, MakesADataAddressFromItsOwnAddressAndRelaysBranches) {
    BlockImage image =
        codeImage({beqz(kA0, 3), kNop, lui(kV0, 0x9D00), lbu(kV0, 0x18, kV0), jrRa(), kNop});
    image.routines.push_back({6, false, kBase + 24});
    image.words.push_back(0x04030201);
    const RelayOutcome out = relayBlock(image);
    ASSERT_TRUE(out.relaid) << out.refusal;
    ASSERT_EQ(out.words.size(), image.words.size() + 7);
    // The branch went to the jr at word 4; the jr is now word 11.
    EXPECT_EQ(out.words[0], beqz(kA0, 10));
    EXPECT_EQ(out.words[2], addiu(kSp, kSp, -8));
    EXPECT_EQ(out.words[4], bal(1));
    // lui/ori of the upper half moved with the table (from word 6 to word
    // 13: 0x1C bytes) less the link address of word 6, where the bal returns
    // to: 0x9D000000 + 0x1C - 0x9D000018.
    EXPECT_EQ(out.words[5], lui(kV0, 0));
    EXPECT_EQ(out.words[6], ori(kV0, kV0, 4));
    EXPECT_EQ(out.words[7], addu(kV0, kV0, kRa));
    EXPECT_EQ(out.words[10], lbu(kV0, 0x18, kV0));
    EXPECT_EQ(out.routineStarts, (std::vector<std::size_t>{0, 13}));
    EXPECT_EQ(out.fixed, (std::vector<std::uint32_t>{kBase + 8, kBase + 12}));
}

// A lui in the delay slot of a branch that does not read its register: the
// sequence goes before the branch, the slot becomes a nop, and the branch
// still reaches its target.
TEST(Relayer, MovesALuiOutOfADelaySlot) {
    BlockImage image =
        codeImage({beqz(kA0, 2), lui(kV0, 0x9D00), kNop, lbu(kV0, 0x18, kV0), jrRa(), kNop});
    image.routines.push_back({6, false, kBase + 24});
    image.words.push_back(0x04030201);
    const RelayOutcome out = relayBlock(image);
    ASSERT_TRUE(out.relaid) << out.refusal;
    ASSERT_EQ(out.words.size(), image.words.size() + 8);
    EXPECT_EQ(out.words[0], addiu(kSp, kSp, -8));
    EXPECT_EQ(out.words[2], bal(1));
    EXPECT_EQ(out.words[8], beqz(kA0, 2)); // to the lbu, word 11
    EXPECT_EQ(out.words[9], kNop);
    EXPECT_EQ(out.words[11], lbu(kV0, 0x18, kV0));
    EXPECT_TRUE(out.left.empty());
}

// A routine left out of the selection leaves a gap in the link addresses: a
// branch across it is laid out to the distance in the block.
TEST(Relayer, ClosesTheGapOfARoutineLeftOut) {
    BlockImage image;
    image.words = {jrRa(), kNop, bal(-0x41), kNop, jrRa(), kNop};
    image.routines = {{0, true, kBase}, {2, true, kBase + 0x100}};
    const RelayOutcome out = relayBlock(image);
    ASSERT_TRUE(out.relaid) << out.refusal;
    EXPECT_EQ(out.words[2], bal(-3));
    EXPECT_EQ(out.routineStarts, (std::vector<std::size_t>{0, 2}));
}

TEST(Relayer, RefusesRoutinesThatClaimTheSameAddresses) {
    BlockImage image;
    image.words = {jrRa(), kNop, jrRa(), kNop};
    image.routines = {{0, true, kBase}, {2, true, kBase + 4}};
    const RelayOutcome out = relayBlock(image);
    EXPECT_FALSE(out.relaid);
    EXPECT_NE(out.refusal.find("same link addresses"), std::string::npos);
}

} // namespace
} // namespace travonix::relay
