#include "check/ConversionCheck.h"

#include "check/NameClash.h"
#include "check/RelocationCheck.h"

#include <cstdio>
#include <iterator>

namespace travonix::check {

namespace {

// The blocks of a planned conversion, read from the loaded listing: a
// routine's lines run after its header up to the empty line (or the next
// header) that ends its body, as its block gets them.
class PlannedBlocks : public BlockSource {
  public:
    PlannedBlocks(const Listing& listing, const ConversionPlan& plan, bool merged,
                  LinesPassed passed)
        : listing_(listing), plan_(plan), merged_(merged), passed_(std::move(passed)) {}

    std::size_t blockCount() const override {
        return merged_ ? (plan_.rows.empty() ? 0 : 1) : plan_.rows.size();
    }
    std::size_t routineCount(std::size_t) const override { return merged_ ? plan_.rows.size() : 1; }
    std::string_view routineName(std::size_t block, std::size_t routine) const override {
        return row(block, routine).name;
    }
    // The listing's records know where each line's TABs are: no line is
    // split again.
    void routineLines(std::size_t block, std::size_t routine, std::size_t from, std::size_t most,
                      std::vector<LineFields>& lines) const override {
        lines.clear();
        for (std::size_t i = row(block, routine).headerLine + 1 + from;
             i < listing_.size() && lines.size() < most; ++i) {
            const ListingLine& record = listing_.line(i);
            const std::string_view text = listing_.text(record);
            if (text.empty() || isHeaderText(text))
                break;
            LineFields& split = lines.emplace_back();
            split.count = listing_.fields(record, split.fields);
        }
    }

    // The line where the row at `place` starts: the listing's end after the
    // last row. A block other than the merged one holds one routine, so the
    // place after it is the next row.
    void checkedUpTo(const RoutinePlace& place) const override {
        if (!passed_)
            return;
        const std::size_t next = merged_ ? place.routine : place.block + place.routine;
        passed_(next < plan_.rows.size() ? plan_.rows[next].headerLine : listing_.size());
    }

  private:
    const BlockRow& row(std::size_t block, std::size_t routine) const {
        return plan_.rows[merged_ ? routine : block];
    }

    const Listing& listing_;
    const ConversionPlan& plan_;
    bool merged_;
    LinesPassed passed_;
};

std::vector<BlockFile> filesOf(const Listing& listing, const ConversionPlan& plan,
                               const ConversionSettings& settings) {
    std::vector<BlockFile> files;
    if (plan.rows.empty())
        return files;
    const auto addressOf = [&listing](const BlockRow& row) {
        return row.headerLine < listing.size() ? listing.address(row.headerLine) : 0;
    };
    switch (settings.mode) {
    case OutputMode::Merged:
        files.push_back(
            {settings.mergedName, settings.mergedName + ".bas", addressOf(plan.rows[0])});
        break;
    case OutputMode::SingleFile:
        for (const BlockRow& row : plan.rows)
            files.push_back({row.name, plan.rows[0].name + ".bas", addressOf(row)});
        break;
    case OutputMode::IndividualFiles:
        for (const BlockRow& row : plan.rows)
            files.push_back({row.name, row.name + ".bas", addressOf(row)});
        break;
    }
    return files;
}

} // namespace

struct ConversionCheckRun::State {
    State(const Listing& listing, const ConversionPlan& plan, const ConversionSettings& settings,
          const ImageExtent* image, LinesPassed passed)
        : listing(listing), plan(plan), settings(settings),
          blocks(listing, plan, settings.mode == OutputMode::Merged, std::move(passed)),
          relocation(listing.fileText(), blocks, RelocationCheckRun::kShareRoutines, image) {}

    const Listing& listing;
    const ConversionPlan& plan;
    const ConversionSettings& settings;
    PlannedBlocks blocks;
    RelocationCheckRun relocation;
};

ConversionCheckRun::ConversionCheckRun(const Listing& listing, const ConversionPlan& plan,
                                       const ConversionSettings& settings, const ImageExtent* image,
                                       LinesPassed passed)
    : state_(std::make_unique<State>(listing, plan, settings, image, std::move(passed))) {}

ConversionCheckRun::~ConversionCheckRun() = default;

void ConversionCheckRun::help() {
    state_->relocation.help();
}

std::vector<Finding> ConversionCheckRun::findings() {
    std::vector<Finding> findings = state_->relocation.findings();
    const std::vector<BlockFile> files = filesOf(state_->listing, state_->plan, state_->settings);
    for (std::vector<Finding> names : {findNameClashes(files), findBadNames(files)})
        findings.insert(findings.end(), std::make_move_iterator(names.begin()),
                        std::make_move_iterator(names.end()));
    return findings;
}

std::vector<Finding> checkConversion(const Listing& listing, const ConversionPlan& plan,
                                     const ConversionSettings& settings) {
    ConversionCheckRun run(listing, plan, settings);
    return run.findings();
}

std::string findingLine(const Finding& finding) {
    char address[16];
    std::snprintf(address, sizeof address, "%08x", finding.address);
    std::string line = finding.function + "\t" + address + "\t";
    line += findingKindName(finding.kind);
    line += "\t" + finding.sentence();
    return line;
}

} // namespace travonix::check
