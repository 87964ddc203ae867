#pragma once

#include "app/Session.h"
#include "check/Finding.h"
#include "core/Conversion.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

namespace travonix {

// A finding as one line for the status line and the findings panel: the
// function, the address as eight hexadecimal digits (the header's for a
// finding about a name), the kind and the sentence, two blanks apart.
[[nodiscard]] std::string findingText(const check::Finding& finding);

// The line of a finding's address in the body that starts after `header`
// (it ends as the block's body does); the header itself for a finding that
// has no address of its own.
[[nodiscard]] std::size_t findingLineIn(const Listing& listing, std::size_t header,
                                        const check::Finding& finding);

// Where the window points for each finding: its listing line and its entry
// of the function list, found through the block row of its routine. Each
// finding is placed without a search through the rows, so a run of tens of
// thousands of functions with as many findings stays linear.
class FindingPlaces {
  public:
    FindingPlaces(const Session& session, const ConversionPlan& plan, bool merged)
        : session_(session), plan_(plan), merged_(merged) {
        // The reader lists functions in listing order; only a list in any
        // other order needs an index of its own.
        const auto byHeader = [](const FunctionEntry& a, const FunctionEntry& b) {
            return a.headerLine < b.headerLine;
        };
        if (std::is_sorted(session.functions.begin(), session.functions.end(), byHeader))
            return;
        entryByHeader_.reserve(session.functions.size());
        for (std::size_t e = 0; e < session.functions.size(); ++e)
            entryByHeader_.emplace(session.functions[e].headerLine, static_cast<int>(e));
    }

    ShownFinding placed(check::Finding finding) {
        ShownFinding shown{std::move(finding), -1, -1};
        const BlockRow* row = rowOf(shown.finding);
        if (row == nullptr)
            return shown;
        const std::size_t header = row->headerLine;
        shown.listingLine =
            static_cast<int>(findingLineIn(session_.listing, header, shown.finding));
        shown.function = entryAt(header);
        return shown;
    }

  private:
    // The block row of the routine the check found it in: a merged block's
    // routines are the plan's rows, as are the blocks of the other modes (a
    // finding about a block's name has the block's row). Else the first row
    // of the finding's name.
    const BlockRow* rowOf(const check::Finding& finding) {
        const std::size_t own = merged_ ? finding.routine : finding.block;
        if (own < plan_.rows.size() && plan_.rows[own].name == finding.function)
            return &plan_.rows[own];
        if (rowByName_.empty()) {
            rowByName_.reserve(plan_.rows.size());
            for (const BlockRow& row : plan_.rows)
                rowByName_.emplace(row.name, &row); // the first row of a name
        }
        const auto row = rowByName_.find(finding.function);
        return row == rowByName_.end() ? nullptr : row->second;
    }

    // The function list's entry of the header at `header`; -1 when none is.
    int entryAt(std::size_t header) const {
        if (!entryByHeader_.empty()) {
            const auto entry = entryByHeader_.find(header);
            return entry == entryByHeader_.end() ? -1 : entry->second;
        }
        const auto& functions = session_.functions;
        const auto it = std::lower_bound(
            functions.begin(), functions.end(), header,
            [](const FunctionEntry& f, std::size_t line) { return f.headerLine < line; });
        if (it == functions.end() || it->headerLine != header)
            return -1;
        return static_cast<int>(it - functions.begin());
    }

    const Session& session_;
    const ConversionPlan& plan_;
    bool merged_;
    std::unordered_map<std::string_view, const BlockRow*> rowByName_; // made when first needed
    std::unordered_map<std::size_t, int> entryByHeader_;
};

} // namespace travonix
