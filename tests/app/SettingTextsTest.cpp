#include "app/SettingTexts.h"

#include "core/Options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace travonix {
namespace {

struct BoolCase {
    const char* text;
    std::optional<bool> expected;
};

TEST(TextToBool, TakesWordsAndNumbersLikeTheSettingsFunctionsWroteThem) {
    const BoolCase cases[] = {
        {"True", true},   {"False", false}, {"true", true},
        {"FALSE", false}, {"tRuE", true},   {" True ", true},
        {"1", true},      {"-1", true},     {"0", false},
        {"+0", false},    {"-0", false},    {"1.5", true},
        {"0.0", false},   {".5", true},     {"5.", true},
        {"-0.25", true},  {"0.000", false}, {"2e3", true},
        {"0E5", false},   {"1e+2", true},   {"99999999999999999999999", true},
        {"&H10", true},   {"&h0", false},   {"&O7", true},
        {"&o00", false},
    };
    for (const BoolCase& c : cases)
        EXPECT_EQ(textToBool(c.text), c.expected) << '"' << c.text << '"';
}

TEST(TextToBool, RejectsEverythingElseSoTheMemberKeepsItsValue) {
    const char* rejected[] = {"",      " ",   "yes", "no",   "on",  "Tru", "True1", "1x",
                              "1.2.3", ".",   "-",   "+",    "e5",  "1e",  "1e+",   "inf",
                              "nan",   "0x1", "&H",  "&HG1", "&O8", "&X1", "1,5",   "\t1"};
    for (const char* text : rejected)
        EXPECT_EQ(textToBool(text), std::nullopt) << '"' << text << '"';
}

TEST(TextToCheckState, AcceptsOnlyTheThreeStates) {
    EXPECT_EQ(textToCheckState("0"), 0);
    EXPECT_EQ(textToCheckState("1"), 1);
    EXPECT_EQ(textToCheckState("2"), 2);
    EXPECT_EQ(textToCheckState(" 1 "), 1);
    for (const char* text : {"3", "-1", "", "x", "1.5", "True", "99999999999999999999"})
        EXPECT_EQ(textToCheckState(text), std::nullopt) << '"' << text << '"';
}

TEST(BoolToText, WritesTheWordsTheStoreHolds) {
    EXPECT_EQ(boolToText(true), "True");
    EXPECT_EQ(boolToText(false), "False");
    EXPECT_EQ(textToBool(boolToText(true)), true);
    EXPECT_EQ(textToBool(boolToText(false)), false);
}

TEST(ZeroWordsRule, AppendsOnlyWhenTheExactTextIsMissing) {
    struct Case {
        const char* stored;
        const char* loaded;
    };
    const Case cases[] = {
        {"xc32-objdump.exe -D", "xc32-objdump.exe -D -z "},
        {"pic32-objdump.exe -D -z", "pic32-objdump.exe -D -z"},
        {"pic32-objdump.exe -D -Z", "pic32-objdump.exe -D -Z -z "},
        {"", " -z "},
        {"C:\\tools-zip\\pic32-objdump.exe -D", "C:\\tools-zip\\pic32-objdump.exe -D"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withZeroWords(c.stored), c.loaded) << '"' << c.stored << '"';
}

TEST(DefaultOptions, AreWhatAFirstRunSees) {
    const Options options = defaultOptions();
    EXPECT_EQ(options.disassemblerCommand, "pic32-objdump.exe -D -z");
    EXPECT_EQ(options.conversion.mode, OutputMode::IndividualFiles);
    EXPECT_EQ(options.toolchain, Toolchain::None);
    const ConversionSettings& c = options.conversion;
    EXPECT_FALSE(options.autoLoadElf || options.autoGenerate || options.autoCheck || c.selectAll ||
                 c.includeMain || c.keepListingCopy || c.fullReading);
    EXPECT_TRUE(options.elfPath.empty() && options.listingPath.empty() && c.outputFolder.empty() &&
                c.mergedName.empty());
}

} // namespace
} // namespace travonix
