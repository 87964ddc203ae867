// Converts real toolchain listings in every output mode and checks that the
// blocks hold exactly the words of the listing, rewritten branches included.
#include "core/BlockWords.h"
#include "core/Conversion.h"
#include "core/JumpRewriter.h"
#include "core/ListingReader.h"
#include "support/FakeEnvironment.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace travonix::test {
namespace {

using Words = std::vector<std::string>;

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    std::string current;
    for (char c : line + " ") {
        if (c == ' ' || c == '\t') {
            if (!current.empty())
                out.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return out;
}

// The listing's own words per function, found without the builder's code:
// the text after an instruction line's first TAB, up to the next blank or TAB.
std::map<std::string, Words> listingWords(const Listing& listing, std::vector<std::string>& order) {
    std::map<std::string, Words> byName;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const std::string line(listing.text(i));
        if (line.size() < 2 || line.substr(line.size() - 2) != ">:")
            continue;
        const std::size_t open = line.find(" <");
        const std::string name = line.substr(open + 2, line.size() - 2 - (open + 2));
        if (byName.count(name) != 0)
            continue;
        order.push_back(name);
        Words& words = byName[name];
        for (std::size_t j = i + 1; j < listing.size() && !listing.text(j).empty(); ++j) {
            const std::string body(listing.text(j));
            const std::size_t tab = body.find('\t');
            if (tab == std::string::npos)
                continue;
            const std::size_t end = body.find_first_of(" \t", tab + 1);
            words.push_back(body.substr(tab + 1, end == std::string::npos ? end : end - tab - 1));
        }
    }
    return byName;
}

struct ParsedBlock {
    std::string cfunctionName;
    std::string entryWord;
    Words words;
};

std::vector<ParsedBlock> parseBlocks(const std::string& fileText) {
    std::vector<ParsedBlock> blocks;
    bool inBlock = false;
    bool entryPending = false;
    for (const std::string& line : crlfLines(fileText)) {
        if (line.rfind("CFunction ", 0) == 0) {
            blocks.push_back({line.substr(10), {}, {}});
            inBlock = entryPending = true;
        } else if (line == "End CFunction") {
            inBlock = false;
        } else if (inBlock && !line.empty() && line[0] != '\'') {
            for (const std::string& t : tokens(line)) {
                if (entryPending) {
                    EXPECT_EQ(line, "\t" + t) << "entry word line";
                    blocks.back().entryWord = t;
                    entryPending = false;
                } else {
                    blocks.back().words.push_back(t);
                }
            }
        }
    }
    EXPECT_FALSE(inBlock) << "block without End CFunction";
    return blocks;
}

std::string cfunctionNameOf(std::string name) {
    std::erase(name, '_');
    return name;
}

// A whole conversion as the window and the command line run it: read with
// main and every function selected, rewrite, plan, build (going on past every
// "jalr" question), write into the fake environment's output folder.
struct FixtureRun {
    FakeEnvironment env;
    Listing listing;
    std::vector<std::string> order; // functions as listed
    std::map<std::string, Words> words;
    WriteReport report;

    FixtureRun(const std::string& fixture, OutputMode mode) {
        ConversionSettings settings;
        settings.mode = mode;
        settings.mergedName = "Merged";
        settings.outputFolder = "out";
        settings.includeMain = true;
        settings.selectAll = true;
        ReadResult read = readListing(
            readWholeFile(fixturePath(fixture)),
            ReadOptions{settings.includeMain, settings.selectAll, settings.fullReading});
        rewriteJumps(read.listing);
        words = listingWords(read.listing, order);
        const ConversionPlan plan = planConversion(read.listing, read.functions, settings);
        EXPECT_EQ(plan.status, ConversionPlan::Status::Ready);
        GeneratedBlocks blocks =
            buildBlocks(read.listing, plan, settings, Stamp{env.now(), env.userName()},
                        [](const JalrLine&) { return true; });
        EXPECT_FALSE(blocks.abandoned);
        report = writeFiles(basFiles(blocks, plan, settings, env.pathSeparator()),
                            settings.outputFolder, env.pathSeparator(), env);
        EXPECT_TRUE(report.diagnostics.empty());
        listing = std::move(read.listing);
    }

    std::string file(const std::string& name) {
        const auto it = env.files.find("out\\" + name + ".bas");
        EXPECT_NE(it, env.files.end()) << name << ".bas not written";
        if (it == env.files.end())
            return {};
        EXPECT_EQ(it->second.find("\n"), it->second.find("\r\n") + 1) << "lone LF";
        return it->second;
    }
};

const char* const kFixtures[] = {"calls.dis", "farcall.dis",   "gaps.dis",   "gaps-noz.dis",
                                 "jalr.dis",  "longnames.dis", "sysfunc.dis"};

TEST(FixtureConversion, OneFilePerFunctionHoldsTheListingsWords) {
    for (const char* fixture : kFixtures) {
        SCOPED_TRACE(fixture);
        FixtureRun c(fixture, OutputMode::IndividualFiles);
        ASSERT_FALSE(c.order.empty());
        EXPECT_EQ(c.report.writtenNames.size(), c.order.size());
        for (const std::string& name : c.order) {
            SCOPED_TRACE(name);
            const auto blocks = parseBlocks(c.file(name));
            ASSERT_EQ(blocks.size(), 1U);
            EXPECT_EQ(blocks[0].cfunctionName, cfunctionNameOf(name));
            EXPECT_EQ(blocks[0].entryWord, "00000000");
            EXPECT_EQ(blocks[0].words, c.words[name]);
        }
    }
}

TEST(FixtureConversion, SingleFileHoldsEveryFunctionsWords) {
    for (const char* fixture : kFixtures) {
        SCOPED_TRACE(fixture);
        FixtureRun c(fixture, OutputMode::SingleFile);
        ASSERT_FALSE(c.order.empty());
        EXPECT_EQ(c.report.writtenNames, (std::vector<std::string>{c.order[0] + ".bas"}));
        const auto blocks = parseBlocks(c.file(c.order[0]));
        ASSERT_EQ(blocks.size(), c.order.size());
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            SCOPED_TRACE(c.order[i]);
            EXPECT_EQ(blocks[i].words, c.words[c.order[i]]);
        }
    }
}

TEST(FixtureConversion, MergedBlockHoldsAllWordsAndPointsAtMain) {
    for (const char* fixture : kFixtures) {
        SCOPED_TRACE(fixture);
        FixtureRun c(fixture, OutputMode::Merged);
        ASSERT_FALSE(c.order.empty());
        Words all;
        std::size_t mainAt = 0;
        for (const std::string& name : c.order) {
            if (name == "main" && name != c.order[0])
                mainAt = all.size();
            all.insert(all.end(), c.words[name].begin(), c.words[name].end());
        }
        const auto blocks = parseBlocks(c.file("Merged"));
        ASSERT_EQ(blocks.size(), 1U);
        EXPECT_EQ(blocks[0].words, all);
        char entry[16];
        std::snprintf(entry, sizeof entry, "%08zX", mainAt);
        EXPECT_EQ(blocks[0].entryWord, entry);
    }
}

TEST(FixtureConversion, LongNamedCallsKeepTheirRewrittenWords) {
    FixtureRun c("longnames.dis", OutputMode::IndividualFiles);
    const std::string caller =
        "stepper_motor_driver_compute_acceleration_ramp_for_the_next_motion_segment";
    int longBranches = 0;
    for (std::size_t i = 0; i < c.listing.size(); ++i) {
        const std::string_view line = c.listing.text(i);
        longBranches += line.size() > kLongLineLength && line.find("\tbal\t") != line.npos ? 1 : 0;
    }
    ASSERT_GT(longBranches, 0) << "the fixture no longer has long rewritten calls";
    const auto blocks = parseBlocks(c.file(caller));
    ASSERT_EQ(blocks.size(), 1U);
    EXPECT_EQ(blocks[0].words.size(), 18U);
    EXPECT_EQ(blocks[0].words, c.words[caller]);
}

} // namespace
} // namespace travonix::test
