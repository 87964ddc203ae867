// Start-up as a plan: the commands the stored options give, in order, made
// without a window, a store or a file.

#include "app/StartUpPlan.h"
#include "support/OutputModeNames.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

namespace travonix::test {
namespace {

const char* toolchainName(Toolchain toolchain) {
    return toolchain == Toolchain::MPLab    ? "MPLab"
           : toolchain == Toolchain::MPLabX ? "MPLabX"
                                            : "None";
}

// The steps that set something off or choose between controls, as text;
// the plain option steps are left out.
std::vector<std::string> actions(const StartUpPlan& plan) {
    std::vector<std::string> out;
    for (const Command& step : plan.steps)
        std::visit(
            [&out](const auto& c) {
                using C = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<C, command::SelectToolchain>)
                    out.push_back(std::string("select ") + toolchainName(c.toolchain));
                else if constexpr (std::is_same_v<C, command::ShowToolchain>)
                    out.push_back(std::string("show ") + toolchainName(c.toolchain));
                else if constexpr (std::is_same_v<C, command::SelectOutputMode>)
                    out.push_back(std::string("select ") + outputModeName(c.mode) +
                                  (c.makeAfter ? " and make" : ""));
                else if constexpr (std::is_same_v<C, command::KeepOutputMode>)
                    out.push_back(std::string("keep ") + outputModeName(c.mode));
                else if constexpr (std::is_same_v<C, command::ShowAllFunctions>)
                    out.push_back("show all");
                else if constexpr (std::is_same_v<C, command::SelectAll>)
                    out.push_back(c.applyToList ? "clear every function" : "select all as read");
                else if constexpr (std::is_same_v<C, command::IncludeMain>)
                    out.push_back(c.on ? "include main" : "leave main out");
                else if constexpr (std::is_same_v<C, command::AutoGenerate>)
                    out.push_back(c.on ? "auto generate" : "no auto generate");
            },
            step);
    return out;
}

TEST(StartUpPlan, StoredOptionsBecomeTheirControlsCommandsInTheFixedOrder) {
    const struct {
        const char* what;
        StoredOptions stored;
        std::vector<std::string> actions;
    } cases[] = {
        {"nothing readable", {}, {}},
        {"MPLab then MPLabX: both disassemble",
         {.mplab = true, .mplabx = true},
         {"select MPLab", "select MPLabX"}},
        {"MPLabX alone is only shown", {.mplab = false, .mplabx = true}, {"show MPLabX"}},
        {"merge: selected without making, the rest as stored",
         {.merge = true, .singleFile = false, .individualFiles = false},
         {"select Merged"}},
        {"single file is what the window opens with",
         {.merge = false, .singleFile = true, .individualFiles = false},
         {"keep SingleFile"}},
        {"every switch in its place",
         {.showAllFunctions = 1,
          .selectAll = false,
          .individualFiles = true,
          .autoGenerate = true,
          .includeMain = true},
         {"show all", "clear every function", "select IndividualFiles", "auto generate",
          "include main"}},
        {"a stored True selection keeps the functions as read",
         {.selectAll = true},
         {"select all as read"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(actions(planStartUp(c.stored, defaultOptions())), c.actions);
    }
}

// The plan never makes: a make comes only from "Auto Generate" after a
// re-read, as a click would.
TEST(StartUpPlan, TheAutomaticLoadFollowsTheStoredChoiceOrWhatWasThere) {
    Options before = defaultOptions();
    EXPECT_TRUE(planStartUp({.autoLoadElf = true}, before).loadElf);
    EXPECT_FALSE(planStartUp({.autoLoadElf = false}, before).loadElf);
    before.autoLoadElf = true;
    EXPECT_TRUE(planStartUp({}, before).loadElf) << "an unreadable value leaves it as it was";
}

} // namespace
} // namespace travonix::test
