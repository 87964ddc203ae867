// Instruction forms the fixture programs do not all show, each in a short
// routine "f" at 9d000000 of a small listing whose image has code, a table
// and two variables. Lines are written as objdump writes them.
#include "check/RelocationCheck.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cctype>
#include <cstdio>
#include <sstream>

namespace travonix::check {
namespace {

const std::string kListing = "\r\n"
                             "forms.elf:     file format elf32-tradlittlemips\r\n"
                             "\r\n"
                             "\r\n"
                             "Disassembly of section .text:\r\n"
                             "\r\n"
                             "9d000000 <f>:\r\n"
                             "9d000000:\t03e00008 \tjr\tra\r\n"
                             "9d0000fc:\t00000000 \tnop\r\n"
                             "\r\n"
                             "Disassembly of section .rodata:\r\n"
                             "\r\n"
                             "9d000100 <table>:\r\n"
                             "9d000100:\t9d000000 \t.word\t0x9d000000\r\n"
                             "9d00010c:\t00000000 \tnop\r\n"
                             "\r\n"
                             "Disassembly of section .bss:\r\n"
                             "\r\n"
                             "a0000000 <counter>:\r\n"
                             "a0000000:\t00000000 \tnop\r\n"
                             "a000000c:\t00000000 \tnop\r\n"
                             "\r\n"
                             "Disassembly of section .data:\r\n"
                             "\r\n"
                             "a0008000 <buffer>:\r\n"
                             "a0008000:\t00000000 \tnop\r\n"
                             "a0008004:\t00000000 \tnop\r\n";

struct FormCase {
    const char* what;
    std::vector<std::string> lines; // the body of f (or of table, at 9d000100)
    std::vector<std::string> expected;
    const char* mention = ""; // in the first finding's sentence
};

void PrintTo(const FormCase& c, std::ostream* out) {
    *out << c.what;
}

std::string summary(const Finding& finding) {
    std::ostringstream text;
    text << findingKindName(finding.kind) << " " << std::hex << finding.address;
    return text.str();
}

class InstructionForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(InstructionForms, GiveTheirFindingOnTheirLine) {
    const FormCase& c = GetParam();
    const bool isTable = c.lines.front().rfind("9d0001", 0) == 0;
    const std::vector<Finding> findings =
        checkRelocation(kListing, {{"f", {{isTable ? "table" : "f", c.lines}}}});
    std::vector<std::string> got;
    for (const Finding& finding : findings)
        got.push_back(summary(finding));
    EXPECT_EQ(got, c.expected);
    if (!findings.empty()) {
        EXPECT_NE(findings.front().sentence().find(c.mention), std::string::npos)
            << findings.front().sentence();
    }
}

std::vector<FormCase> formCases() {
    return {
        {"lui and ori",
         {"9d000000:\t3c029d00 \tlui\tv0,0x9d00", "9d000004:\t34420100 \tori\tv0,v0,0x100"},
         {"absolute-address 9d000004"},
         "9d000100 (table in .rodata)"},
        {"numeric register names",
         {"9d000000:\t3c029d00 \tlui\t$2,0x9d00", "9d000004:\t24420104 \taddiu\t$2,$2,260"},
         {"absolute-address 9d000004"},
         "9d000104 (table+0x4 in .rodata)"},
        {"index added before the load",
         {"9d000000:\t3c029d00 \tlui\tv0,0x9d00", "9d000004:\t00042080 \tsll\ta0,a0,0x2",
          "9d000008:\t00821821 \taddu\tv1,a0,v0", "9d00000c:\t8c620100 \tlw\tv0,256(v1)"},
         {"absolute-address 9d00000c"}},
        {"copied register as base",
         {"9d000000:\t3c03a000 \tlui\tv1,0xa000", "9d000004:\t00602825 \tmove\ta1,v1",
          "9d000008:\taca00004 \tsw\tzero,4(a1)"},
         {"unemitted-section 9d000008"},
         "a0000004 (counter+0x4 in .bss)"},
        {"negative lower half",
         {"9d000000:\t3c02a001 \tlui\tv0,0xa001", "9d000004:\t8c428004 \tlw\tv0,-32764(v0)"},
         {"unemitted-section 9d000004"},
         "a0008004 (buffer+0x4 in .data)"},
        {"peripheral register",
         {"9d000000:\t3c02bf88 \tlui\tv0,0xbf88", "9d000004:\tac406010 \tsw\tzero,24592(v0)"},
         {}},
        {"boot area",
         {"9d000000:\t3c02bfc0 \tlui\tv0,0xbfc0", "9d000004:\t8c420000 \tlw\tv0,0(v0)"},
         {}},
        {"upper half through arithmetic the check does not follow",
         {"9d000000:\t3c029d00 \tlui\tv0,0x9d00", "9d000004:\t00441023 \tsubu\tv0,v0,a0",
          "9d000008:\t8c420100 \tlw\tv0,256(v0)"},
         {"absolute-address 9d000000"},
         "upper half"},
        {"lower half in a call's delay slot",
         {"9d000000:\t3c049d00 \tlui\ta0,0x9d00", "9d000004:\t0411FFFE\tbal\t9d000000 <f>",
          "9d000008:\t24840100 \taddiu\ta0,a0,256"},
         {"absolute-address 9d000008"}},
        {"saved register kept across a call",
         {"9d000000:\t3c109d00 \tlui\ts0,0x9d00", "9d000004:\t0411FFFE\tbal\t9d000000 <f>",
          "9d000008:\t00000000 \tnop", "9d00000c:\t8e020100 \tlw\tv0,256(s0)"},
         {"absolute-address 9d00000c"}},
        {"temporary register lost in a call",
         {"9d000000:\t3c029d00 \tlui\tv0,0x9d00", "9d000004:\t0411FFFE\tbal\t9d000000 <f>",
          "9d000008:\t00000000 \tnop", "9d00000c:\t24420100 \taddiu\tv0,v0,256"},
         {"absolute-address 9d000000"}},
        {"returns",
         {"9d000000:\t03e00008 \tjr\tra", "9d000004:\t03e00008 \tjr\t$31",
          "9d000008:\t03e00408 \tjr.hb\tra"},
         {}},
        {"jump through a register",
         {"9d000000:\t00400008 \tjr\t$2"},
         {"indirect-jump 9d000000"},
         "-fno-jump-tables"},
        {"abicalls call",
         {"9d000000:\t0320f809 \tjalr\tt9"},
         {"indirect-jump 9d000000"},
         "-mno-abicalls"},
        {"$gp as base and as operand",
         {"9d000000:\t8f828010 \tlw\tv0,-32752(gp)", "9d000004:\t27828018 \taddiu\tv0,gp,-32744",
          "9d000008:\t8f828010 \tlw\tv0,-32752($28)"},
         {"gp-relative 9d000000", "gp-relative 9d000004", "gp-relative 9d000008"},
         "-G0"},
        {"setting $gp itself",
         {"9d000000:\t3c1c9d00 \tlui\tgp,0x9d00", "9d000004:\t279c0100 \taddiu\tgp,gp,256"},
         {"gp-relative 9d000000", "gp-relative 9d000004"}},
        {"symbol that reads like a register",
         {"9d000000:\t0411FFFF\tbal\t9d000000 <gp>", "9d000004:\t00000000 \tnop"},
         {}},
        {"address word among the code",
         {"9d000000:\ta0000004 \t.word\t0xa0000004"},
         {"unemitted-section 9d000000"},
         "as a data word"},
        {"branch within the routine and out of it",
         {"9d000000:\t10400001 \tbeqz\tv0,9d000008 <f+0x8>", "9d000004:\t00000000 \tnop",
          "9d000008:\t1000003d\tb\t9d000100 <table>", "9d00000c:\t00000000 \tnop"},
         {"outside-call 9d000008"},
         "leaves this CFunction"},
        {"jumps left absolute",
         {"9d000000:\t0f410000 \tjal\t9d040000 <far>", "9d000004:\t0b410000 \tj\t9d040000 <far>"},
         {"out-of-reach 9d000000", "out-of-reach 9d000004"},
         "jal to 9d040000 <far>"},
        // The reader's filler lines stand for more zeros than they are: a
        // branch across them lands short of its target.
        {"branch across a shortened run of zeros",
         {"9d000000:\t10000004 \tb\t9d000014 <f+0x14>", "9d000004:\t00000000 \tnop",
          "9D000008:\t00000000\tNOP <--Corrected by Travonix",
          "9D00000C:\t00000000\tNOP <--Corrected by Travonix", "9d000014:\t03e00008 \tjr\tra"},
         {"outside-call 9d000000"},
         "lands 4 bytes after"},
        {"read-only data cut to address and word, and data that reads as a branch",
         {"9d000100:\t9d000000 ", "9d000104:\t04020100 \tbltzl\tzero,9d000508 <f+0x508>",
          "9d000108:\ta000000c ", "9d00010c:\tbf886000 "},
         {"absolute-address 9d000100", "unemitted-section 9d000108"},
         "9d000000 (f in .text)"},
    };
}

INSTANTIATE_TEST_SUITE_P(Forms, InstructionForms, ::testing::ValuesIn(formCases()),
                         [](const ::testing::TestParamInfo<FormCase>& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// A routine longer than the check reads at a time: what one line leaves
// for a later one (an upper half, a lui never completed, a branch looked up
// at the routine's end) is kept across the slices.
TEST(InstructionForms, ARoutineLongerThanASliceIsCheckedAsOne) {
    constexpr std::size_t kLines = 9000;
    std::vector<std::string> lines;
    char text[64];
    const auto word = [&](std::size_t i, const char* rest) {
        std::snprintf(text, sizeof text, "%08x:\t%s", 0x9d000000U + 4U * static_cast<unsigned>(i),
                      rest);
        lines.emplace_back(text);
    };
    for (std::size_t i = 0; i < kLines; ++i) {
        switch (i) {
        case 0:
            word(i, "3c029d00 \tlui\tv0,0x9d00");
            break;
        case 5000: // the lower half, two slices later: the table's address
            word(i, "24420100 \taddiu\tv0,v0,256");
            break;
        case 6000: // back to the routine's second word: inside the block
            word(i, "1000e890 \tb\t9d000004 <f+0x4>");
            break;
        case 7000: // past the routine's end
            word(i, "100024a7 \tb\t9d010000 <f+0x10000>");
            break;
        case 8000: // never completed: an address near the .bss variable
            word(i, "3c03a000 \tlui\tv1,0xa000");
            break;
        case kLines - 1:
            word(i, "03e00008 \tjr\tra");
            break;
        default:
            word(i, "00000000 \tnop");
        }
    }
    const std::vector<Finding> findings = checkRelocation(kListing, {{"f", {{"f", lines}}}});
    std::vector<std::string> got;
    for (const Finding& finding : findings)
        got.push_back(summary(finding));
    EXPECT_EQ(got, (std::vector<std::string>{"absolute-address 9d004e20", "outside-call 9d006d60",
                                             "unemitted-section 9d007d00"}));
}

} // namespace
} // namespace travonix::check
