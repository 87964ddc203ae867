#pragma once

#include "check/Finding.h"
#include "check/ImageExtent.h"
#include "core/Conversion.h"

#include <memory>
#include <vector>

namespace travonix::check {

// Everything the relocation check finds in the blocks a planned conversion
// will write: what each block's code depends on (in block, routine and line
// order), then the blocks whose CFunction names clash.
[[nodiscard]] std::vector<Finding> checkConversion(const Listing& listing,
                                                   const ConversionPlan& plan,
                                                   const ConversionSettings& settings);

// The same check shared by several threads, as RelocationCheckRun shares
// it: threads call `help` while they have nothing else to do; `findings`,
// called once every other helper has returned, gives what checkConversion
// gives. The listing, plan and settings outlive the run and do not change
// while it lasts.
class ConversionCheckRun {
  public:
    // `image`, when given, is ImageExtent::fromListing of the listing's
    // text, read beforehand; it outlives the run. `passed` is told how far
    // through the listing the check has come, from whichever thread helps.
    ConversionCheckRun(const Listing& listing, const ConversionPlan& plan,
                       const ConversionSettings& settings, const ImageExtent* image = nullptr,
                       LinesPassed passed = {});
    ~ConversionCheckRun();
    ConversionCheckRun(const ConversionCheckRun&) = delete;
    ConversionCheckRun& operator=(const ConversionCheckRun&) = delete;

    void help();
    [[nodiscard]] std::vector<Finding> findings();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// A finding as one line for a terminal: the function, a TAB, the address as
// eight lower-case hexadecimal digits, a TAB, the kind, a TAB, the sentence.
[[nodiscard]] std::string findingLine(const Finding& finding);

} // namespace travonix::check
