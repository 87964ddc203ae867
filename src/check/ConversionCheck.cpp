#include "check/ConversionCheck.h"

#include "check/NameClash.h"
#include "check/RelocationCheck.h"

#include <cstdio>

namespace travonix::check {

namespace {

// A routine's lines as its block gets them: after its header, up to the
// empty line (or the next header) that ends its body.
RoutineLines routineOf(const Listing& listing, const BlockRow& row) {
    RoutineLines routine{row.name, {}};
    for (std::size_t i = row.headerLine + 1; i < listing.size(); ++i) {
        const std::string_view text = listing.text(i);
        if (text.empty() || isHeaderText(text))
            break;
        routine.lines.push_back(text);
    }
    return routine;
}

std::vector<BlockLines> blocksOf(const Listing& listing, const ConversionPlan& plan,
                                 const ConversionSettings& settings) {
    std::vector<BlockLines> blocks;
    if (settings.mode == OutputMode::Merged) {
        BlockLines merged{settings.mergedName, {}};
        for (const BlockRow& row : plan.rows)
            merged.routines.push_back(routineOf(listing, row));
        blocks.push_back(std::move(merged));
        return blocks;
    }
    for (const BlockRow& row : plan.rows)
        blocks.push_back({row.name, {routineOf(listing, row)}});
    return blocks;
}

std::vector<BlockFile> filesOf(const ConversionPlan& plan, const ConversionSettings& settings) {
    std::vector<BlockFile> files;
    if (plan.rows.empty())
        return files;
    switch (settings.mode) {
    case OutputMode::Merged:
        files.push_back({settings.mergedName, settings.mergedName + ".bas"});
        break;
    case OutputMode::SingleFile:
        for (const BlockRow& row : plan.rows)
            files.push_back({row.name, plan.rows[0].name + ".bas"});
        break;
    case OutputMode::IndividualFiles:
        for (const BlockRow& row : plan.rows)
            files.push_back({row.name, row.name + ".bas"});
        break;
    }
    return files;
}

} // namespace

std::vector<Finding> checkConversion(const Listing& listing, const ConversionPlan& plan,
                                     const ConversionSettings& settings) {
    std::vector<Finding> findings =
        checkRelocation(listing.fileText(), blocksOf(listing, plan, settings));
    std::vector<Finding> clashes = findNameClashes(filesOf(plan, settings));
    findings.insert(findings.end(), clashes.begin(), clashes.end());
    return findings;
}

std::string findingLine(const Finding& finding) {
    char address[16];
    std::snprintf(address, sizeof address, "%08x", finding.address);
    std::string line = finding.function + "\t" + address + "\t";
    line += findingKindName(finding.kind);
    line += "\t" + finding.sentence;
    return line;
}

} // namespace travonix::check
