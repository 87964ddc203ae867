// The harness itself: a wrong reading of a block, a machine that let a hung
// or stray routine pass, or a wrong reference would make the execution tests
// prove nothing.

#include "execution/CFunctionBlock.h"
#include "execution/Corpus.h"
#include "execution/ElfImage.h"
#include "execution/MipsMachine.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace travonix::execution {
namespace {

// Two blocks as a single-file output writes them, the second a merged one
// with the names of its routines in comment lines.
const char* const kTwoBlocks =
    "'\r\n"
    "'C:\\out\\first.bas\r\n"
    "\r\n"
    "'\r\n"
    "'first_fn  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester\r\n"
    "'\r\n"
    "CFunction firstfn\r\n"
    "\t00000000\r\n"
    "\t24820001 03E00008 00000000 \r\n"
    "End CFunction\r\n"
    "\r\n"
    "CFunction Blk\r\n"
    "'init\r\n"
    "\t00000002\r\n"
    "\t24820001 03e00008 \r\n"
    "\r\n"
    "'main\r\n"
    "24820005 03E00008 00000000 \r\n"
    "End CFunction\r\n";

TEST(CFunctionBlockText, GivesNamesEntryOffsetsWordsAndTheWordIndexOfEachComment) {
    auto blocks = parseCFunctionBlocks(kTwoBlocks);
    ASSERT_EQ(blocks.size(), 2u);

    EXPECT_EQ(blocks[0].name, "firstfn");
    EXPECT_EQ(blocks[0].entryOffset, 0u);
    EXPECT_EQ(blocks[0].words, (std::vector<std::uint32_t>{0x24820001, 0x03E00008, 0}));
    EXPECT_TRUE(blocks[0].comments.empty()); // the stamp stands before the block

    const CFunctionBlock& merged = findBlock(blocks, "Blk");
    EXPECT_EQ(merged.entryOffset, 2u);
    EXPECT_EQ(merged.words.size(), 5u);
    EXPECT_EQ(merged.entryByteOffset(), 8u);
    EXPECT_EQ(merged.commentWordIndex("init"), 0u);
    EXPECT_EQ(merged.commentWordIndex("main"), 2u);
    EXPECT_FALSE(merged.commentWordIndex("absent"));
    EXPECT_THROW(findBlock(blocks, "firstFn"), std::runtime_error);
}

TEST(CFunctionBlockText, RefusesWhatTheInterpreterCouldNotLoad) {
    const char* const broken[] = {
        "CFunction a\r\n\t00000000\r\n\t2482001 \r\nEnd CFunction\r\n",  // seven digits
        "CFunction a\r\n\t00000000\r\n\t2482000G \r\nEnd CFunction\r\n", // not hexadecimal
        "CFunction a\r\n'only a comment\r\nEnd CFunction\r\n",           // no entry offset
        "CFunction a\r\n\t00000000\r\n\t24820001 \r\n",                  // never closed
    };
    for (const char* text : broken)
        EXPECT_THROW(parseCFunctionBlocks(text), std::runtime_error) << text;
}

TEST(AbsoluteJumps, AreTheJAndJalOpcodesOnly) {
    // jal, j, bal, b, jr ra, jalr v0
    std::vector<std::uint32_t> words = {0x0F400000, 0x0B400000, 0x04110003,
                                        0x1000FFFF, 0x03E00008, 0x0040F809};
    EXPECT_EQ(absoluteJumpWords(words), (std::vector<std::size_t>{0, 1}));
}

RunResult callBlock(const char* text, std::uint32_t address, std::uint32_t a0,
                    std::uint64_t budget = MipsMachine::kDefaultBudget) {
    CFunctionBlock block = parseCFunctionBlocks(text).at(0);
    MipsMachine machine;
    machine.loadWords(address, block.words);
    return machine.call(address + block.entryByteOffset(), {a0, 0, 0, 0}, budget);
}

TEST(MipsMachine, EntersABlockAtItsEntryOffsetInCodeWords) {
    // addiu v0,a0,1 / jr ra / nop, then addiu v0,a0,5 / jr ra / nop: offset 3
    // is the second routine.
    const char* const text = "CFunction two\r\n\t00000003\r\n"
                             "\t24820001 03E00008 00000000 24820005 03E00008 00000000 \r\n"
                             "End CFunction\r\n";
    for (std::uint32_t address : {0xA0001000u, 0x80030000u}) {
        RunResult run = callBlock(text, address, 10);
        EXPECT_EQ(run.status, RunStatus::Returned);
        EXPECT_EQ(run.v0, 15u);
    }
}

TEST(MipsMachine, StopsARoutineThatNeverReturnsAtItsBudget) {
    // b . / nop
    RunResult run =
        callBlock("CFunction spin\r\n00000000\r\n1000FFFF 00000000\r\nEnd CFunction\r\n",
                  0xA0002000, 0, 10000);
    EXPECT_EQ(run.status, RunStatus::BudgetExhausted);
}

TEST(MipsMachine, FaultsOnTheProgramsLinkAddressesUnlessTheProgramIsLoaded) {
    // lui v0,0x9d00 / lw v0,0(v0) / jr ra / nop: reads the first word of
    // program flash.
    CFunctionBlock block = parseCFunctionBlocks("CFunction peek\r\n00000000\r\n"
                                                "3C029D00 8C420000 03E00008 00000000\r\n"
                                                "End CFunction\r\n")
                               .at(0);
    MipsMachine bare;
    bare.loadWords(0xA0003000, block.words);
    EXPECT_EQ(bare.call(0xA0003000, {0, 0, 0, 0}).status, RunStatus::Fault);

    MipsMachine withProgram;
    withProgram.loadElf(ElfImage::load(corpusPath("arith.elf")));
    withProgram.loadWords(0xA0003000, block.words);
    RunResult run = withProgram.call(0xA0003000, {0, 0, 0, 0});
    EXPECT_EQ(run.status, RunStatus::Returned);
    EXPECT_EQ(run.v0, 0x00852021u); // addu a0,a0,a1: the first word of add3
}

TEST(ElfImage, ReadsTheSegmentsAndSymbolsOfALinkedProgram) {
    ElfImage arith = ElfImage::load(corpusPath("arith.elf"));
    ASSERT_FALSE(arith.segments().empty());
    const ElfSegment& text = arith.segments().front();
    EXPECT_EQ(text.vaddr, 0x9D000000u);
    ASSERT_GE(text.bytes.size(), 4u);
    EXPECT_EQ(text.bytes[0], 0x21);
    EXPECT_EQ(text.bytes[3], 0x00);
    auto add3 = arith.symbol("add3");
    ASSERT_TRUE(add3);
    EXPECT_EQ(add3->value, 0x9D000000u);
    EXPECT_EQ(add3->size, 12u);
    EXPECT_TRUE(add3->isFunction);

    ElfImage farcall = ElfImage::load(corpusPath("farcall.elf"));
    EXPECT_EQ(farcall.address("firmware_checksum"), 0x9D040000u);
    EXPECT_EQ(farcall.segments().size(), 2u);
    EXPECT_THROW(farcall.address("no_such_routine"), std::runtime_error);
}

TEST(ElfImage, RefusesAFileThatIsNotAMipsProgram) {
    std::string listing = test::readWholeFile(corpusPath("arith.dis"));
    EXPECT_THROW(ElfImage::parse({listing.begin(), listing.end()}), std::runtime_error);
    std::string elf = test::readWholeFile(corpusPath("arith.elf"));
    EXPECT_THROW(ElfImage::parse({elf.begin(), elf.begin() + 40}), std::runtime_error);
}

} // namespace
} // namespace travonix::execution
