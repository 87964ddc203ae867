#include "core/Conversion.h"

#include "core/FileNameCheck.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace travonix {

namespace {

bool headerStillThere(const Listing& listing, const BlockRow& row) {
    if (row.headerLine >= listing.size())
        return false;
    const auto name = headerNameOf(listing.text(row.headerLine));
    return name && *name == row.name;
}

struct SelectedRow {
    BlockRow row;
    std::size_t occurrence = 0; // which function of that name in listing order
};

// Which function of its name each one is matters only to modes that give a
// function a file of its own; a merged run does not count them.
std::vector<SelectedRow> selectedRows(const std::vector<FunctionEntry>& functions,
                                      bool countOccurrences) {
    std::vector<SelectedRow> rows;
    rows.reserve(static_cast<std::size_t>(
        std::count_if(functions.begin(), functions.end(),
                      [](const FunctionEntry& entry) { return entry.selected; })));
    std::unordered_map<std::string_view, std::size_t> seen;
    if (countOccurrences)
        seen.reserve(functions.size());
    for (const FunctionEntry& entry : functions) {
        const std::size_t occurrence = countOccurrences ? seen[entry.name]++ : 0;
        if (entry.selected)
            rows.push_back(
                {{entry.name, entry.name, entry.readOnlyData, entry.headerLine}, occurrence});
    }
    return rows;
}

// Two functions of one name (static helpers of two C files) would write one
// file twice: in one-file-per-function mode the later ones get files of their
// own, name_2.bas and so on; in single-file mode both blocks stay in the one
// file and the clash is reported.
void separateSameNamedFunctions(std::vector<SelectedRow>& rows, bool renameFiles,
                                Diagnostics& diagnostics) {
    std::unordered_set<std::string> taken;
    taken.reserve(rows.size());
    for (const SelectedRow& selected : rows)
        taken.insert(selected.row.name);
    for (SelectedRow& selected : rows) {
        if (selected.occurrence == 0)
            continue;
        BlockRow& row = selected.row;
        const std::string shown = printableName(row.name);
        if (!renameFiles) {
            Diagnostic d =
                warning("Two functions are named " + shown + ": both CFunctions carry that name");
            d.function = row.name;
            diagnostics.push_back(std::move(d));
            continue;
        }
        std::string name;
        for (std::size_t n = selected.occurrence + 1;; ++n) {
            name = row.name + "_" + std::to_string(n);
            if (taken.insert(name).second)
                break;
        }
        Diagnostic d = warning("Two functions are named " + shown +
                               ": the later one is written as " + printableName(name) + ".bas");
        d.function = row.name;
        d.file = name + ".bas";
        diagnostics.push_back(std::move(d));
        row.name = name;
    }
}

} // namespace

ConversionPlan planConversion(const Listing& listing, const std::vector<FunctionEntry>& functions,
                              const ConversionSettings& settings) {
    ConversionPlan plan;
    const bool merge = settings.mode == OutputMode::Merged;
    if (settings.outputFolder.empty()) {
        plan.status = ConversionPlan::Status::NoOutputFolder;
        return plan;
    }
    if (merge && settings.mergedName.empty()) {
        plan.status = ConversionPlan::Status::NeedsMergedName;
        return plan;
    }
    std::vector<SelectedRow> rows = selectedRows(functions, !merge);
    if (rows.empty()) {
        plan.status = ConversionPlan::Status::NoSelection;
        return plan;
    }
    std::vector<SelectedRow> found;
    found.reserve(rows.size());
    for (SelectedRow& selected : rows) {
        if (headerStillThere(listing, selected.row)) {
            found.push_back(std::move(selected));
            continue;
        }
        Diagnostic d = error("Function " + printableName(selected.row.name) +
                             " is no longer in the listing: no CFunction was made for it");
        d.function = selected.row.name;
        plan.diagnostics.push_back(std::move(d));
        if (merge)
            plan.status = ConversionPlan::Status::Failed;
    }
    if (plan.status == ConversionPlan::Status::Failed || found.empty()) {
        plan.status = ConversionPlan::Status::Failed;
        return plan;
    }
    if (!merge)
        separateSameNamedFunctions(found, settings.mode == OutputMode::IndividualFiles,
                                   plan.diagnostics);
    plan.rows.reserve(found.size());
    for (SelectedRow& selected : found)
        plan.rows.push_back(std::move(selected.row));
    return plan;
}

} // namespace travonix
