// Converts real toolchain listings in every output mode and checks that the
// blocks hold exactly the words of the listing, rewritten branches included.
#include "cfunction/HeaderIndex.h"
#include "cfunction/MakeCommand.h"

#include "app/AppOptions.h"
#include "listing/ShowDis.h"
#include "support/FakeEnvironment.h"
#include "support/Fixtures.h"
#include "support/ScriptedServices.h"

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

// The listing's own words per function, found without the writer's code: the
// text after an instruction line's first TAB, up to the next blank or TAB.
std::map<std::string, Words> listingWords(const std::vector<ListingItem>& listing,
                                          std::vector<std::string>& order) {
    std::map<std::string, Words> byName;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const std::string& line = listing[i].text;
        if (line.size() < 2 || line.substr(line.size() - 2) != ">:")
            continue;
        const std::size_t open = line.find(" <");
        const std::string name = line.substr(open + 2, line.size() - 2 - (open + 2));
        if (byName.count(name) != 0)
            continue;
        order.push_back(name);
        Words& words = byName[name];
        for (std::size_t j = i + 1; j < listing.size() && !listing[j].text.empty(); ++j) {
            const std::string& body = listing[j].text;
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

std::string withoutUnderscores(std::string name) {
    std::erase(name, '_');
    return name;
}

struct Conversion {
    FakeEnvironment env;
    ScriptedServices ui;
    Form form{ui, env};
    std::vector<std::string> order; // functions as listed
    std::map<std::string, Words> words;

    Conversion(const std::string& fixture, int mode) {
        env.files["prog.dis"] = readWholeFile(fixturePath(fixture));
        form.options = defaultOptions();
        form.options.DISFileName = "prog.dis";
        form.options.PluginFolderName = "out";
        form.options.ShowMain = true;
        form.options.SelectAllFuncs = true;
        form.options.IndividualPluginFiles = mode == 0;
        form.options.SinglePluginFile = mode == 1;
        form.options.MergePlugins = mode == 2;
        form.state.txtCFunctionName = form.options.MergeCFunctionName = "Merged";
        ui.yesNoAnswers.assign(100, true); // go on past every "jalr" warning
        cmdShowDIS_Click(form);
        words = listingWords(form.state.showFile, order);
        ui.messages.clear(); // the rewriting's report of out-of-reach jumps
        cmdMakeBas_Click(form);
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

TEST(FixtureConversionTest, OneFilePerFunctionHoldsTheListingsWords) {
    for (const char* fixture : kFixtures) {
        SCOPED_TRACE(fixture);
        Conversion c(fixture, 0);
        ASSERT_FALSE(c.order.empty());
        for (const std::string& name : c.order) {
            SCOPED_TRACE(name);
            const auto blocks = parseBlocks(c.file(name));
            ASSERT_EQ(blocks.size(), 1u);
            EXPECT_EQ(blocks[0].cfunctionName, withoutUnderscores(name));
            EXPECT_EQ(blocks[0].entryWord, "00000000");
            EXPECT_EQ(blocks[0].words, c.words[name]);
        }
    }
}

TEST(FixtureConversionTest, SingleFileHoldsEveryFunctionsWords) {
    for (const char* fixture : kFixtures) {
        SCOPED_TRACE(fixture);
        Conversion c(fixture, 1);
        ASSERT_FALSE(c.order.empty());
        const auto blocks = parseBlocks(c.file(c.order[0]));
        ASSERT_EQ(blocks.size(), c.order.size());
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            SCOPED_TRACE(c.order[i]);
            EXPECT_EQ(blocks[i].words, c.words[c.order[i]]);
        }
    }
}

TEST(FixtureConversionTest, MergedBlockHoldsAllWordsAndPointsAtMain) {
    for (const char* fixture : kFixtures) {
        SCOPED_TRACE(fixture);
        Conversion c(fixture, 2);
        ASSERT_FALSE(c.order.empty());
        Words all;
        std::size_t mainAt = 0;
        for (const std::string& name : c.order) {
            if (name == "main" && name != c.order[0])
                mainAt = all.size();
            all.insert(all.end(), c.words[name].begin(), c.words[name].end());
        }
        const auto blocks = parseBlocks(c.file("Merged"));
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(blocks[0].words, all);
        char entry[16];
        std::snprintf(entry, sizeof entry, "%08zX", mainAt);
        EXPECT_EQ(blocks[0].entryWord, entry);
    }
}

TEST(FixtureConversionTest, LongNamedCallsKeepTheirRewrittenWords) {
    Conversion c("longnames.dis", 0);
    const std::string caller =
        "stepper_motor_driver_compute_acceleration_ramp_for_the_next_motion_segment";
    int longBranches = 0;
    for (const ListingItem& item : c.form.state.showFile)
        longBranches += item.text.size() > 100 && item.text.find("\tbal\t") != std::string::npos;
    ASSERT_GT(longBranches, 0) << "the fixture no longer has long rewritten calls";
    const auto blocks = parseBlocks(c.file(caller));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].words.size(), 18u);
    EXPECT_EQ(blocks[0].words, c.words[caller]);
}

} // namespace
} // namespace travonix::test
