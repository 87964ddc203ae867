#include "core/Conversion.h"
#include "core/Messages.h"

#include "core/FileNameCheck.h"
#include "core/Text.h"

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

// The first code line of the row's body that holds no whole word: the body
// runs from the header to the empty line or header that ends it.
std::optional<std::size_t> malformedLineIn(const Listing& listing, const BlockRow& row) {
    const std::vector<std::size_t>& malformed = listing.malformedLines();
    if (malformed.empty())
        return std::nullopt;
    const auto next = std::lower_bound(malformed.begin(), malformed.end(), row.headerLine + 1);
    if (next == malformed.end())
        return std::nullopt;
    for (std::size_t i = row.headerLine + 1; i < *next; ++i) {
        const LineKind kind = listing.line(i).kind;
        if (kind == LineKind::Empty || kind == LineKind::Header)
            return std::nullopt;
    }
    return *next;
}

Diagnostic malformedLineError(const Listing& listing, const BlockRow& row, std::size_t index) {
    const std::string_view word = listing.line(index).tabCount > 0
                                      ? listing.field(listing.line(index), 1)
                                      : std::string_view();
    Diagnostic d = error(DiagnosticCode::MalformedLine,
                         malformedLineText(row.name, listing.fileLineNumber(index), word));
    d.function = row.name;
    d.address = listing.address(index);
    return d;
}

// The selected functions as rows, and which function of its name each one
// is (0 for the first). That matters only to modes that give a function a
// file of its own; a merged run does not count them.
struct SelectedRows {
    std::vector<BlockRow> rows;
    std::vector<std::size_t> occurrences; // empty when not counted
};

SelectedRows selectedRows(const std::vector<FunctionEntry>& functions, bool countOccurrences) {
    SelectedRows selected;
    const auto count = static_cast<std::size_t>(
        std::count_if(functions.begin(), functions.end(),
                      [](const FunctionEntry& entry) { return entry.selected; }));
    selected.rows.reserve(count);
    std::unordered_map<std::string_view, std::size_t> seen;
    if (countOccurrences) {
        selected.occurrences.reserve(count);
        seen.reserve(functions.size());
    }
    for (const FunctionEntry& entry : functions) {
        const std::size_t occurrence = countOccurrences ? seen[entry.name]++ : 0;
        if (!entry.selected)
            continue;
        selected.rows.push_back({entry.name, entry.readOnlyData, entry.headerLine});
        if (countOccurrences)
            selected.occurrences.push_back(occurrence);
    }
    return selected;
}

// Two functions of one name (static helpers of two C files) would write one
// file twice: in one-file-per-function mode the later ones get files of their
// own, name_2.bas and so on; in single-file mode both blocks stay in the one
// file and the clash is reported.
void separateSameNamedFunctions(SelectedRows& selected, bool renameFiles,
                                Diagnostics& diagnostics) {
    std::unordered_set<std::string> taken;
    taken.reserve(selected.rows.size());
    for (const BlockRow& row : selected.rows)
        taken.insert(row.name);
    for (std::size_t k = 0; k < selected.rows.size(); ++k) {
        if (selected.occurrences[k] == 0)
            continue;
        BlockRow& row = selected.rows[k];
        if (!renameFiles) {
            Diagnostic d = warning(DiagnosticCode::NameClash, sameNameText(row.name));
            d.function = row.name;
            diagnostics.push_back(std::move(d));
            continue;
        }
        std::string name;
        for (std::size_t n = selected.occurrences[k] + 1;; ++n) {
            name = row.name + "_" + std::to_string(n);
            if (taken.insert(name).second)
                break;
        }
        Diagnostic d =
            warning(DiagnosticCode::NameClashRenamed, sameNameRenamedText(row.name, name));
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
    SelectedRows selected = selectedRows(functions, !merge);
    if (selected.rows.empty()) {
        plan.status = ConversionPlan::Status::NoSelection;
        return plan;
    }
    // The rows whose header is still there are kept in place, in order.
    std::size_t kept = 0;
    for (std::size_t k = 0; k < selected.rows.size(); ++k) {
        BlockRow& row = selected.rows[k];
        const bool there = headerStillThere(listing, row);
        const std::optional<std::size_t> malformed =
            there ? malformedLineIn(listing, row) : std::nullopt;
        if (there && !malformed) {
            if (kept != k) {
                selected.rows[kept] = std::move(row);
                if (!merge)
                    selected.occurrences[kept] = selected.occurrences[k];
            }
            ++kept;
            continue;
        }
        if (malformed) {
            plan.diagnostics.push_back(malformedLineError(listing, row, *malformed));
        } else {
            Diagnostic d = error(DiagnosticCode::FunctionGone, functionGoneText(row.name));
            d.function = row.name;
            plan.diagnostics.push_back(std::move(d));
        }
        if (merge)
            plan.status = ConversionPlan::Status::Failed;
    }
    selected.rows.resize(kept);
    if (!merge)
        selected.occurrences.resize(kept);
    if (plan.status == ConversionPlan::Status::Failed || kept == 0) {
        plan.status = ConversionPlan::Status::Failed;
        return plan;
    }
    if (!merge)
        separateSameNamedFunctions(selected, settings.mode == OutputMode::IndividualFiles,
                                   plan.diagnostics);
    plan.rows = std::move(selected.rows);
    return plan;
}

// BASIC calls a merged block at its entry word, which points at main; a
// block without main starts at its first routine.
std::optional<Diagnostic> mergeEntryWarning(const ConversionPlan& plan,
                                            const ConversionSettings& settings) {
    if (settings.mode != OutputMode::Merged || plan.status != ConversionPlan::Status::Ready ||
        plan.rows.empty())
        return std::nullopt;
    for (const BlockRow& row : plan.rows)
        if (toLowerAscii(row.name) == "main")
            return std::nullopt;
    Diagnostic d = warning(DiagnosticCode::MergeWithoutMain,
                           mergeWithoutMainText(settings.mergedName, plan.rows.front().name));
    d.function = plan.rows.front().name;
    return d;
}

} // namespace travonix
