// A line of the loaded listing is split at the TABs its record knows, a line
// given as text is split again: both must read as the same instruction.
#include "check/InstructionLine.h"
#include "core/Listing.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace travonix::check {
namespace {

struct LineCase {
    const char* name;
    std::string text;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<LineCase> lineCases() {
    return {
        {"Instruction", "9d000040:\t27bdffe8 \taddiu\tsp,sp,-24"},
        {"BlanksAroundTheLine", "   9d000040:\t27bdffe8 \taddiu\tsp,sp,-24   "},
        {"BlanksInsideFields", "9d000040: \t 27bdffe8 \t addiu \t sp, sp, -24 "},
        {"BranchWithSymbol", "9d000008:\t0411fffd \tbal\t9d000000 <crc_step>"},
        {"UpperCaseMnemonic", "9D000008:\t0C000000\tJAL\t9D000000"},
        {"DataLineCutToAddressAndWord", "9d000120:\t0f400000 "},
        {"HalfWordTail", "9d000124:\t0000 \t.short\t0x0"},
        {"NoMnemonic", "9d000128:\t00000000"},
        {"NoTab", "9d000128: 00000000 nop"},
        {"OnlyTabs", "\t\t\t"},
        {"Header", "9d000000 <crc_step>:"},
        {"MoreThanThreeTabs", "9d00012c:\t00000000 \tnop\tx\ty\tz"},
        {"TabPastOffset255", "9d000130:" + std::string(300, ' ') + "\t00000000 \tnop"},
        {"OperandsPastOffset255",
         "9d000134:\t3c020000 \tlui\tv0," + std::string(260, ' ') + "\t0x9d00"},
    };
}

class LineFieldsAgree : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineFieldsAgree, WithTheLineSplitAgain) {
    const std::string& text = GetParam().text;
    Listing listing(text);
    listing.addFileLine(0, text.size(), LineKind::Instruction);
    LineFields fromRecord;
    fromRecord.count = listing.fields(listing.line(0), fromRecord.fields);
    for (std::size_t k = 0; k < fromRecord.count; ++k)
        EXPECT_EQ(fromRecord.fields[k], listing.field(listing.line(0), k)) << k;

    InstructionLine viaRecord;
    InstructionLine viaText;
    const bool parsedViaRecord = parseInstructionFields(fromRecord, viaRecord);
    ASSERT_EQ(parsedViaRecord, parseInstructionLine(text, viaText));
    if (!parsedViaRecord)
        return;
    EXPECT_EQ(viaRecord.address, viaText.address);
    EXPECT_EQ(viaRecord.word, viaText.word);
    EXPECT_EQ(viaRecord.wordBytes, viaText.wordBytes);
    EXPECT_EQ(viaRecord.mnemonic, viaText.mnemonic);
    EXPECT_EQ(viaRecord.kind, viaText.kind);
    EXPECT_EQ(viaRecord.operandText, viaText.operandText);
    EXPECT_EQ(std::vector<std::string_view>(viaRecord.operands.begin(), viaRecord.operands.end()),
              std::vector<std::string_view>(viaText.operands.begin(), viaText.operands.end()));
}

INSTANTIATE_TEST_SUITE_P(Lines, LineFieldsAgree, ::testing::ValuesIn(lineCases()),
                         [](const ::testing::TestParamInfo<LineCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(LineFields, AWordLineReadsAsItsParts) {
    InstructionLine line;
    ASSERT_TRUE(
        parseInstructionFields(splitFields("9d000008:\t0411fffd \tbal\t9d000000 <f>"), line));
    EXPECT_EQ(line.address, 0x9d000008U);
    EXPECT_EQ(line.word, 0x0411fffdU);
    EXPECT_EQ(line.kind, Mnemonic::BranchAndLink);
    EXPECT_EQ(line.operandText, "9d000000 <f>");
    ASSERT_EQ(line.operands.size(), 1U);
    EXPECT_EQ(line.operands.front(), "9d000000");
}

} // namespace
} // namespace travonix::check
