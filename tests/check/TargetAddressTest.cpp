// Branch targets in every form objdump prints them: eight digits for a
// program in PIC32 flash, fewer for one linked low (Debian's default
// 0x00400130, or 0 in a listing of an object file), and register names that
// only look like hexadecimal.
#include "check/InstructionLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace travonix::check {
namespace {

struct TargetCase {
    const char* name;
    const char* line;
    Mnemonic kind;
    std::optional<std::uint32_t> target;
};

void PrintTo(const TargetCase& c, std::ostream* os) {
    *os << c.name;
}

const TargetCase kTargetCases[] = {
    {"RewrittenCallInFlash", "9d000008:\t0411FFFD\tbal\t9d000000 <crc_step>",
     Mnemonic::BranchAndLink, 0x9d000000},
    {"RewrittenCallLinkedLow", "  400164:\t0411FFF2\tbal\t400130 <count_event>",
     Mnemonic::BranchAndLink, 0x00400130},
    {"ConditionalBranchLinkedLow", "  400110:\t10400015 \tbeqz\tv0,400168 <command_cost+0x60>",
     Mnemonic::Branch, 0x00400168},
    {"TailJumpLinkedLow", "  400184:\t0810004c \tj\t400130 <count_event>", Mnemonic::AbsoluteJump,
     0x00400130},
    {"CallLinkedLow", "  400164:\t0c10004c \tjal\t400130 <count_event>", Mnemonic::AbsoluteCall,
     0x00400130},
    {"TargetThatReadsAsARegister", "      98:\t10000001 \tb\ta0 <loop+0x8>", Mnemonic::Branch,
     0xa0},
    {"TargetWithoutSymbol", "      98:\t1000ffff \tb\t98", Mnemonic::Branch, 0x98},
    {"CoprocessorBranch", "  400200:\t4501fffb \tbc1t\t4001f0 <wait_flag>", Mnemonic::Branch,
     0x004001f0},
    {"VectorBranch", "  400200:\t47800003 \tbnz.b\t$w0,400210 <done>", Mnemonic::Branch,
     0x00400210},
    // Register operands are no targets.
    {"ReturnThroughRa", "  400100:\t03e00008 \tjr\tra", Mnemonic::RegisterJump, std::nullopt},
    {"CallThroughA0", "  400100:\t0080f809 \tjalr\ta0", Mnemonic::RegisterCall, std::nullopt},
    // Mnemonics starting with b that branch nowhere.
    {"BitReverse", "  400100:\t7c0416d2 \tbitrev\tv0,a0", Mnemonic::Other, std::nullopt},
    {"ByteAlign", "  400100:\t7c821431 \tbalign\tv0,a0,0x2", Mnemonic::Other, std::nullopt},
    {"VectorBitClear", "  400100:\t79e00809 \tbclri.b\t$w0,$w1,0", Mnemonic::Other, std::nullopt},
};

class TargetAddress : public ::testing::TestWithParam<TargetCase> {};

TEST_P(TargetAddress, IsTheAddressObjdumpPrintedWhateverItsLength) {
    const TargetCase& c = GetParam();
    const std::optional<InstructionLine> line = parseInstructionLine(c.line);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->kind, c.kind);
    EXPECT_EQ(targetAddress(*line), c.target);
}

INSTANTIATE_TEST_SUITE_P(Forms, TargetAddress, ::testing::ValuesIn(kTargetCases),
                         [](const ::testing::TestParamInfo<TargetCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace travonix::check
