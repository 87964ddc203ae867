// Listings written by the real mipsel objdump (tests/fixtures, README.md
// there holds the facts checked here), with and without -z.
#include "core/JumpRewriter.h"
#include "core/ListingReader.h"
#include "core/Text.h"
#include "support/Fixtures.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace travonix::test {
namespace {

using Texts = std::vector<std::string>;
using Listed = std::vector<std::pair<std::string, bool>>; // name, read-only data

enum class Mode { Default, WithMain, Full };

std::string fixtureText(const std::string& fileName) {
    return readWholeFile(fixturePath(fileName));
}

ReadResult readFixture(const std::string& fileName, Mode mode) {
    return readListing(fixtureText(fileName),
                       ReadOptions{mode == Mode::WithMain, true, mode == Mode::Full});
}

Listed listedOf(const ReadResult& result) {
    Listed listed;
    for (const FunctionEntry& entry : result.functions) {
        EXPECT_TRUE(entry.selected) << entry.name;
        EXPECT_EQ(headerNameOf(result.listing.text(entry.headerLine)), entry.name);
        listed.emplace_back(entry.name, entry.readOnlyData);
    }
    return listed;
}

// Each function's words as generation takes them: the second TAB field of
// every line after its header, up to the next empty line.
std::vector<std::pair<std::string, Texts>> wordsByFunction(const Listing& listing) {
    std::vector<std::pair<std::string, Texts>> functions;
    bool inBody = false;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const std::string line(listing.text(i));
        if (line.empty()) {
            inBody = false;
        } else if (line.size() >= 2 && line.substr(line.size() - 2) == ">:") {
            const std::size_t open = line.find(" <");
            functions.emplace_back(line.substr(open + 2, line.size() - open - 4), Texts{});
            inBody = true;
        } else if (inBody) {
            const auto fields = splitTabs(line, 3);
            functions.back().second.emplace_back(fields.size() > 1 ? trimBlanks(fields[1]) : "");
        }
    }
    return functions;
}

// Functions of the file whose last "..." is followed by nothing but empty
// lines before the section ends: the listing cannot tell how long that gap is.
std::set<std::string> functionsEndingInASectionGap(const std::string& fileText) {
    std::set<std::string> names;
    const auto lines = splitLines(fileText);
    std::string current;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.find("Disassembly of section") != std::string_view::npos)
            current.clear();
        else if (line.size() >= 2 && line.substr(line.size() - 2) == ">:")
            current =
                std::string(line.substr(line.find(" <") + 2, line.size() - line.find(" <") - 4));
        if (line != "\t...")
            continue;
        std::size_t next = i + 1;
        while (next < lines.size() && lines[next].empty())
            ++next;
        if (next == lines.size() ||
            lines[next].find("Disassembly of section") != std::string_view::npos)
            names.insert(current);
    }
    return names;
}

struct FixtureFacts {
    const char* name;
    Listed listed;              // section reading
    Listed listedWithMain;      // section reading with main
    Texts fullNames;            // full reading, none marked read-only data
    std::size_t unconverted[3]; // default, with main, full reading
};

// In full reading the words of data sections that objdump shows as jumps
// stay data: calls' four such words in scale_steps are not counted.
const FixtureFacts kFixtures[] = {
    {"calls",
     {{"crc_step", false},
      {"my_crc32", false},
      {"clamp_value", false},
      {"scale_reading", false},
      {"average_of", false},
      {"limited_average", false},
      {"crc_nibble", true},
      {"scale_steps", true}},
     {{"crc_step", false},
      {"my_crc32", false},
      {"clamp_value", false},
      {"scale_reading", false},
      {"average_of", false},
      {"limited_average", false},
      {"main", false},
      {"crc_nibble", true},
      {"scale_steps", true}},
     {"crc_step", "my_crc32", "clamp_value", "scale_reading", "average_of", "limited_average",
      "main", "crc_nibble", "scale_steps", ".reginfo", "call_count"},
     {0, 0, 0}},
    {"gaps",
     {{"gap_lookup", false},
      {"gap_tail", false},
      {"gap_add", false},
      {"leading_zeros", true},
      {"sparse_rows", true},
      {"trailing_zeros", true}},
     {{"main", false},
      {"gap_lookup", false},
      {"gap_tail", false},
      {"gap_add", false},
      {"leading_zeros", true},
      {"sparse_rows", true},
      {"trailing_zeros", true}},
     {"main", "gap_lookup", "gap_tail", "gap_add", "leading_zeros", "sparse_rows", "trailing_zeros",
      ".reginfo"},
     {0, 0, 0}},
    {"longnames",
     {{"stepper_motor_driver_convert_requested_speed_into_pulse_interval_in_ticks", false},
      {"stepper_motor_driver_compute_acceleration_ramp_for_the_next_motion_segment", false}},
     {{"stepper_motor_driver_convert_requested_speed_into_pulse_interval_in_ticks", false},
      {"stepper_motor_driver_compute_acceleration_ramp_for_the_next_motion_segment", false},
      {"main", false}},
     {"stepper_motor_driver_convert_requested_speed_into_pulse_interval_in_ticks",
      "stepper_motor_driver_compute_acceleration_ramp_for_the_next_motion_segment", "main",
      ".reginfo"},
     {0, 0, 0}},
    {"jalr",
     {{"op_add", false},
      {"op_sub", false},
      {"op_scale", false},
      {"dispatch", false},
      {"operations", true}},
     {{"op_add", false},
      {"op_sub", false},
      {"op_scale", false},
      {"dispatch", false},
      {"main", false},
      {"operations", true}},
     {"op_add", "op_sub", "op_scale", "dispatch", "main", "operations", ".reginfo"},
     {0, 0, 0}},
    {"farcall",
     {{"near_helper", false},
      {"near_caller", false},
      {"edge_low", false},
      {"edge_caller", false},
      {"flash_gap", false},
      {"edge_back", false},
      {"edge_high", false},
      {"far_helper", false},
      {"far_target", false}},
     {{"near_helper", false},
      {"near_caller", false},
      {"edge_low", false},
      {"edge_caller", false},
      {"flash_gap", false},
      {"edge_back", false},
      {"edge_high", false},
      {"far_helper", false},
      {"far_target", false},
      {"main", false}},
     {"near_helper", "near_caller", "edge_low", "edge_caller", "flash_gap", "edge_back",
      "edge_high", "far_helper", "far_target", "main", ".reginfo"},
     {4, 5, 5}},
    {"sysfunc",
     {{"led_pattern_bit", false}, {"led_next_step", false}, {"blink_pattern", true}},
     {{"led_pattern_bit", false}, {"led_next_step", false}, {"blink_pattern", true}},
     {"led_pattern_bit", "led_next_step", "_nmi_handler", "led_after_handler", "main",
      "blink_pattern", ".reginfo"},
     {0, 0, 0}},
};

TEST(RealListings, FunctionsAndUnconvertedJumpsInEveryModeAndBothListings) {
    for (const FixtureFacts& facts : kFixtures) {
        for (const std::string suffix : {".dis", "-noz.dis"}) {
            const std::string file = facts.name + suffix;
            SCOPED_TRACE(file);
            ReadResult byDefault = readFixture(file, Mode::Default);
            ReadResult withMain = readFixture(file, Mode::WithMain);
            ReadResult full = readFixture(file, Mode::Full);
            EXPECT_EQ(listedOf(byDefault), facts.listed);
            EXPECT_EQ(listedOf(withMain), facts.listedWithMain);
            EXPECT_EQ(namesOf(full.functions), facts.fullNames);
            for (const FunctionEntry& entry : full.functions)
                EXPECT_FALSE(entry.readOnlyData) << entry.name;
            EXPECT_EQ(rewriteJumps(byDefault.listing).unconverted.size(), facts.unconverted[0]);
            EXPECT_EQ(rewriteJumps(withMain.listing).unconverted.size(), facts.unconverted[1]);
            EXPECT_EQ(rewriteJumps(full.listing).unconverted.size(), facts.unconverted[2]);
        }
    }
}

// Without -z objdump prints "..." for zero runs; the reader must put back
// exactly the words it left out, or everything after the gap shifts. Only a
// gap that ends its section cannot be measured: there the -z words must
// still begin with what the reader produced.
TEST(RealListings, ListingWithoutZGivesTheSameWordsAsWithZ) {
    for (const FixtureFacts& facts : kFixtures) {
        const std::string name = facts.name;
        const auto unmeasured = functionsEndingInASectionGap(fixtureText(name + "-noz.dis"));
        for (Mode mode : {Mode::Default, Mode::WithMain}) {
            ReadResult withZ = readFixture(name + ".dis", mode);
            ReadResult withoutZ = readFixture(name + "-noz.dis", mode);
            rewriteJumps(withZ.listing);
            rewriteJumps(withoutZ.listing);
            const auto expected = wordsByFunction(withZ.listing);
            const auto actual = wordsByFunction(withoutZ.listing);
            ASSERT_EQ(actual.size(), expected.size()) << name;
            for (std::size_t i = 0; i < actual.size(); ++i) {
                const auto& [function, words] = actual[i];
                ASSERT_EQ(function, expected[i].first) << name;
                const Texts& all = expected[i].second;
                if (unmeasured.count(function) == 0) {
                    EXPECT_EQ(words, all) << name << " " << function;
                } else {
                    ASSERT_LE(words.size(), all.size()) << name << " " << function;
                    EXPECT_TRUE(std::equal(words.begin(), words.end(), all.begin()))
                        << name << " " << function;
                }
            }
        }
    }
}

const Texts* wordsOf(const std::vector<std::pair<std::string, Texts>>& functions,
                     const std::string& name) {
    for (const auto& [function, words] : functions)
        if (function == name)
            return &words;
    return nullptr;
}

TEST(RealListings, GapsFixtureFillsEachMeasuredGapExactly) {
    const ReadResult result = readFixture("gaps-noz.dis", Mode::Default);
    const Texts texts = textsOf(result.listing);
    auto at = [&](const std::string& line) { return std::find(texts.begin(), texts.end(), line); };

    // gap_lookup: 3 words after 9d000070, then the empty line before gap_tail.
    auto lookup = at(codeFiller("9D000074"));
    ASSERT_NE(lookup, texts.end());
    EXPECT_EQ(*(lookup + 2), codeFiller("9D00007C"));
    EXPECT_EQ(*(lookup + 3), "");
    // leading_zeros: the gap right after its header starts at the header's address.
    auto leading = at("9d0000e0 <leading_zeros>:");
    ASSERT_NE(leading, texts.end());
    EXPECT_EQ(*(leading + 1), dataFiller("9D0000E0"));
    EXPECT_EQ(*(leading + 5), dataFiller("9D0000F0"));
    // gap_add: the gap ends .text, so the two fallback lines in code form.
    auto add = at(codeFiller("9D0000C8"));
    ASSERT_NE(add, texts.end());
    EXPECT_EQ(*(add + 1), codeFiller("9D0000CC"));
    EXPECT_EQ(*(add + 2), "");

    // Only the gaps that end a section escape the -z comparison.
    const auto unmeasured = functionsEndingInASectionGap(fixtureText("gaps-noz.dis"));
    EXPECT_EQ(unmeasured, (std::set<std::string>{".reginfo", "gap_add", "trailing_zeros"}));

    const auto words = wordsByFunction(result.listing);
    ASSERT_NE(wordsOf(words, "gap_add"), nullptr);
    EXPECT_EQ(wordsOf(words, "gap_add")->size(), 4U);
    ASSERT_NE(wordsOf(words, "trailing_zeros"), nullptr);
    EXPECT_EQ(wordsOf(words, "trailing_zeros")->size(), 4U);
    EXPECT_TRUE(result.diagnostics.empty());
}

TEST(RealListings, FarcallGapAfterAHeaderIsFilledWithAllItsWords) {
    for (const char* file : {"farcall.dis", "farcall-noz.dis"}) {
        const ReadResult result = readFixture(file, Mode::Default);
        const auto words = wordsByFunction(result.listing);
        ASSERT_NE(wordsOf(words, "flash_gap"), nullptr) << file;
        EXPECT_EQ(wordsOf(words, "flash_gap")->size(), 32761U) << file;
    }
}

// The line at an address after reading and rewriting.
std::string lineAt(const Listing& listing, const std::string& address) {
    for (std::size_t i = 0; i < listing.size(); ++i)
        if (listing.text(i).starts_with(address + ":\t"))
            return std::string(listing.text(i));
    return "(no line at " + address + ")";
}

std::string wordAt(const Listing& listing, const std::string& address) {
    const std::string line = lineAt(listing, address);
    const auto fields = splitTabs(line, 4);
    return fields.size() > 2 ? std::string(fields[1]) + " " + std::string(fields[2]) : "";
}

TEST(RealListings, CallsAndJumpsAreRewrittenAsTheToolchainWouldBranch) {
    struct Rewrite {
        const char* file;
        const char* address;
        const char* wordAndMnemonic;
    };
    const Rewrite rewrites[] = {
        {"calls", "9d000054", "0411FFEA bal"},    {"calls", "9d000060", "0411FFE7 bal"},
        {"calls", "9d000138", "0411FFE0 bal"},    {"calls", "9d000184", "1000FFDE b"},
        {"calls", "9d0001d0", "0411FF95 bal"},    {"calls", "9d0001e0", "0411FFC7 bal"},
        {"farcall", "9d00003c", "0411FFF0 bal"},  {"farcall", "9d000074", "04117FFF bal"},
        {"farcall", "9d0200bc", "0411FFEF bal"},  {"farcall", "9d020068", "0b40001b  j"},
        {"farcall", "9d000048", "0f40802b  jal"}, {"jalr", "9d00007c", "0411FFE7 bal"},
        {"jalr", "9d000048", "0040f809  jalr"},   {"sysfunc", "9d000058", "0411FFE9 bal"},
        {"gaps", "9d000010", "0411000B bal"},     {"gaps", "9d00001c", "04110018 bal"},
    };
    std::map<std::string, Listing> rewritten;
    for (const Rewrite& r : rewrites) {
        for (const std::string suffix : {".dis", "-noz.dis"}) {
            const std::string file = r.file + suffix;
            if (rewritten.count(file) == 0) {
                ReadResult result = readFixture(file, Mode::WithMain);
                rewriteJumps(result.listing);
                rewritten[file] = std::move(result.listing);
            }
            EXPECT_EQ(wordAt(rewritten[file], r.address), r.wordAndMnemonic)
                << file << " " << r.address;
        }
    }
}

TEST(RealListings, FullReadingRewritesCodeAfterASystemFunction) {
    ReadResult full = readFixture("sysfunc.dis", Mode::Full);
    const JumpReport report = rewriteJumps(full.listing);
    EXPECT_TRUE(report.unconverted.empty());
    EXPECT_EQ(wordAt(full.listing, "9d000058"), "0411FFE9 bal");
    EXPECT_EQ(wordAt(full.listing, "9d000094"), "0411FFEA bal");
    EXPECT_EQ(wordAt(full.listing, "9d0000bc"), "0411FFF3 bal");
    EXPECT_EQ(wordAt(full.listing, "9d0000c8"), "0411FFDD bal");
}

TEST(RealListings, DataWordsThatLookLikeJumpsAreNeverRewritten) {
    ReadResult sections = readFixture("calls.dis", Mode::Default);
    rewriteJumps(sections.listing);
    EXPECT_EQ(lineAt(sections.listing, "9d000260"), "9d000260:\t0f400010 ");

    // Full reading shows them whole, but as data of .rodata.
    ReadResult full = readFixture("calls.dis", Mode::Full);
    const std::string asPrinted = lineAt(full.listing, "9d000260");
    const JumpReport report = rewriteJumps(full.listing);
    EXPECT_TRUE(report.unconverted.empty());
    EXPECT_TRUE(report.diagnostics.empty());
    EXPECT_EQ(wordAt(full.listing, "9d000260"), "0f400010  jal");
    EXPECT_EQ(wordAt(full.listing, "9d000264"), "0b400020  j");
    EXPECT_EQ(lineAt(full.listing, "9d000260"), asPrinted);
    // The code of the same read is rewritten as in section reading.
    EXPECT_EQ(wordAt(full.listing, "9d000054"), "0411FFEA bal");
}

TEST(RealListings, LongNamesKeepTheirWholeLinesWhenRewritten) {
    ReadResult result = readFixture("longnames.dis", Mode::WithMain);
    rewriteJumps(result.listing);
    EXPECT_EQ(lineAt(result.listing, "9d000060").size(), 107U);
    EXPECT_EQ(lineAt(result.listing, "9d00006c").size(), 107U);
    EXPECT_EQ(lineAt(result.listing, "9d0000a4").size(), 108U);
    EXPECT_EQ(wordAt(result.listing, "9d0000a4"), "0411FFEA bal");
}

// What reading the listing and rewriting its jumps give the window: the
// functions, one message counting the jumps left as they are, and the
// rewritten lines marked.
TEST(RealListings, ReadingAndRewritingARealListing) {
    ReadResult result = readFixture("farcall-noz.dis", Mode::Default);
    const JumpReport report = rewriteJumps(result.listing);

    EXPECT_EQ(result.functions.size(), 9U);
    ASSERT_EQ(report.diagnostics.size(), 1U);
    EXPECT_EQ(report.diagnostics[0].kind, Diagnostic::Kind::Message);
    EXPECT_EQ(report.diagnostics[0].text,
              "There are 4 unconverted JAL/J instructions in the output, targets are too far away");
    EXPECT_EQ(report.rewritten, 3U);
    const auto marked = std::count_if(result.listing.lines().begin(), result.listing.lines().end(),
                                      [](const ListingLine& line) { return line.rewritten; });
    EXPECT_EQ(marked, 3);
}

} // namespace
} // namespace travonix::test
