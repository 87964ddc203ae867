// Runs the CFunction blocks that the conversion core generates from the
// corpus listings on an emulated PIC32 core, at addresses other than the one
// the code was linked for, and compares every result with the same routine
// run from the linked program.

#include "execution/BasGenerator.h"
#include "execution/BlockLayout.h"
#include "execution/CallOutcome.h"
#include "execution/Corpus.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <utility>

namespace travonix::execution {
namespace {

// Where the interpreter might put a block: RAM through kseg1 and through
// kseg0, none of them the link address 9D000000 or its kseg1 twin.
constexpr std::uint32_t kLoadAddresses[] = {0xA0001000, 0x80024A04, 0xA00C0008};

const std::string kUnconvertedOne =
    "There are 1 unconverted JAL/J instructions in the output, targets are too far away";

const GeneratedBas& converted(const std::string& program, OutputMode mode) {
    static std::map<std::pair<std::string, OutputMode>, GeneratedBas> cache;
    auto key = std::make_pair(program, mode);
    auto it = cache.find(key);
    if (it == cache.end()) {
        std::string dis = test::readWholeFile(corpusPath(program + ".dis"));
        it = cache.emplace(key, generateBas(dis, mode)).first;
    }
    return it->second;
}

const ElfImage& linked(const std::string& program) {
    static std::map<std::string, ElfImage> cache;
    auto it = cache.find(program);
    if (it == cache.end())
        it = cache.emplace(program, ElfImage::load(corpusPath(program + ".elf"))).first;
    return it->second;
}

std::vector<CallOutcome> references(const CorpusFunction& function) {
    std::vector<CallOutcome> outcomes;
    for (const CorpusCall& call : function.calls) {
        outcomes.push_back(referenceCall(linked(function.program), function.name, call));
        EXPECT_EQ(outcomes.back().status, RunStatus::Returned)
            << function.name << call << " does not run even at its link address";
    }
    return outcomes;
}

// Runs every call of the routine with the given layout; with `withImage` the
// linked program is mapped at its link address as well.
std::vector<CallOutcome> runAll(const CorpusFunction& function, const BlockLayout& layout,
                                bool withImage) {
    MipsMachine machine;
    if (withImage)
        machine.loadElf(linked(function.program));
    layout.loadInto(machine);
    std::vector<CallOutcome> outcomes;
    for (const CorpusCall& call : function.calls)
        outcomes.push_back(runCall(machine, layout.entry, call));
    return outcomes;
}

bool allMatch(const std::vector<CallOutcome>& got, const std::vector<CallOutcome>& want) {
    for (std::size_t i = 0; i < got.size(); ++i)
        if (!got[i].matches(want[i]))
            return false;
    return true;
}

std::string describe(const CorpusFunction& function, const std::vector<CallOutcome>& got,
                     const std::vector<CallOutcome>& want) {
    std::ostringstream text;
    for (std::size_t i = 0; i < got.size(); ++i)
        text << "\n  " << function.name << function.calls[i] << ": got " << got[i] << ", reference "
             << want[i];
    return text.str();
}

// kseg0 and kseg1 name the same physical memory, so a load address proves
// nothing when its physical address falls inside the program's own image.
TEST(LoadAddresses, NoneIsInsideTheLinkedProgram) {
    constexpr std::uint32_t kPhysical = 0x1FFFFFFF;
    for (const std::string& program : corpusPrograms())
        for (const ElfSegment& segment : linked(program).segments())
            for (std::uint32_t address : kLoadAddresses) {
                std::uint32_t start = segment.vaddr & kPhysical;
                std::uint32_t at = address & kPhysical;
                EXPECT_FALSE(at >= start && at - start < segment.memSize)
                    << program << " " << std::hex << address;
            }
}

struct RunCase {
    const CorpusFunction* function;
    OutputMode mode;
};

std::vector<RunCase> allRunCases() {
    std::vector<RunCase> cases;
    for (const CorpusFunction& function : corpusFunctions())
        for (OutputMode mode : kAllModes)
            cases.push_back({&function, mode});
    return cases;
}

// ctest and failure reports name the case by its routine and output mode.
void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.function->program << "/" << c.function->name << " in " << modeName(c.mode) << " mode";
}

class GeneratedBlockRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(GeneratedBlockRun, BehavesAsAtItsLinkAddressOrIsMarkedAsUnableTo) {
    const CorpusFunction& function = *GetParam().function;
    const OutputMode mode = GetParam().mode;
    const std::vector<CallOutcome> want = references(function);
    const GeneratedBas& output = converted(function.program, mode);

    for (std::uint32_t address : kLoadAddresses) {
        SCOPED_TRACE(::testing::Message() << "loaded at " << std::hex << address);
        BlockLayout layout = layoutFor(output, mode, linked(function.program), function, address);
        std::vector<CallOutcome> got = runAll(function, layout, false);
        std::vector<std::size_t> absoluteJumps = absoluteJumpWords(layout.ownWords);

        switch (function.placement) {
        case Placement::Relocatable:
            EXPECT_TRUE(allMatch(got, want)) << describe(function, got, want);
            EXPECT_TRUE(absoluteJumps.empty());
            break;
        case Placement::PositionDependent:
            // Away from the program's own addresses it breaks; with the program
            // mapped as well it works, so the absolute addresses are the cause.
            EXPECT_FALSE(allMatch(got, want)) << describe(function, got, want);
            got = runAll(function, layout, true);
            EXPECT_TRUE(allMatch(got, want)) << describe(function, got, want);
            break;
        case Placement::OutOfReach:
            EXPECT_FALSE(absoluteJumps.empty());
            EXPECT_FALSE(allMatch(got, want)) << describe(function, got, want);
            break;
        }
    }
}

std::string runCaseName(const ::testing::TestParamInfo<RunCase>& info) {
    std::string name = info.param.function->program + "_" + info.param.function->name + "_" +
                       modeName(info.param.mode);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, GeneratedBlockRun, ::testing::ValuesIn(allRunCases()),
                         runCaseName);

// The only unconverted-jumps report comes from the program with the far call,
// in every mode, and that routine is the one whose words keep an absolute jal:
// what the tool reports and what the table expects to be relocatable agree.
TEST(OutOfReachCall, IsReportedAndItsBlockIsTheOneNotRelocatable) {
    for (const std::string& program : corpusPrograms()) {
        bool hasFarCall = false;
        for (const CorpusFunction& function : corpusFunctions())
            hasFarCall = hasFarCall || (function.program == program &&
                                        function.placement == Placement::OutOfReach);
        for (OutputMode mode : kAllModes) {
            SCOPED_TRACE(program + " " + modeName(mode));
            int reports = 0;
            for (const Diagnostic& shown : converted(program, mode).diagnostics)
                if (shown.text.starts_with("There are ")) {
                    EXPECT_EQ(shown.text, kUnconvertedOne);
                    EXPECT_EQ(shown.kind, Diagnostic::Kind::Message); // a box of its own
                    ++reports;
                }
            EXPECT_EQ(reports, hasFarCall ? 1 : 0);
        }
    }
}

TEST(MergedBlock, EntersMainThroughItsEntryOffset) {
    const ElfImage& image = linked("program");
    auto blocks =
        parseCFunctionBlocks(converted("program", OutputMode::Merged).files.at(kMergedName));
    ASSERT_EQ(blocks.size(), 1u);
    const CFunctionBlock& block = blocks.front();
    EXPECT_EQ(block.name, kMergedName);
    // main is the last routine of the program, so the offset is not zero.
    EXPECT_EQ(4 * block.entryOffset, image.address("main") - image.address("scale"));
    EXPECT_GT(block.entryOffset, 0u);
    EXPECT_EQ(block.commentWordIndex("main"), block.entryOffset);
}

// The same conversion without the jump rewriting: the routines that call
// others keep their absolute jal/j and must fail the comparison, while the
// three without calls still pass, so the failure is the rewriting's.
TEST(ConversionWithoutRewriting, FailsTheComparison) {
    const std::set<std::string> leaves = {"square", "collatz_next", "mul_mod"};
    std::string dis = test::readWholeFile(corpusPath("calls.dis"));
    const GeneratedBas broken = generateBas(dis, OutputMode::Merged, false);
    const ElfImage& image = linked("calls");
    for (const CorpusFunction& function : corpusFunctions()) {
        if (function.program != "calls")
            continue;
        SCOPED_TRACE(function.name);
        const bool isLeaf = leaves.count(function.name) != 0;
        const std::vector<CallOutcome> want = references(function);
        for (std::uint32_t address : kLoadAddresses) {
            BlockLayout layout = layoutFor(broken, OutputMode::Merged, image, function, address);
            std::vector<CallOutcome> got = runAll(function, layout, false);
            EXPECT_EQ(absoluteJumpWords(layout.ownWords).empty(), isLeaf);
            EXPECT_EQ(allMatch(got, want), isLeaf) << describe(function, got, want);
        }
    }
}

} // namespace
} // namespace travonix::execution
