#pragma once

#include "app/UserInterface.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace travonix::test {

// The window's boxes with scripted answers, recording everything the steps
// show. An unscripted question or input box fails the test.
class ScriptedUserInterface : public UserInterface {
  public:
    struct Shown {
        std::string text;
        std::string title;
    };

    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<std::string> offeredActions;
    std::vector<bool> questionDefaults; // Yes was the default button
    std::vector<Shown> inputPrompts;
    std::vector<std::string> statusLines;
    std::vector<std::string> summaries;
    int mergedNameFocused = 0;
    std::optional<std::string> clipboard;
    bool clipboardAvailable = true;

    std::deque<bool> yesNoAnswers;                       // true = Yes
    std::deque<bool> actionAnswers;                      // true = the offered action
    std::deque<std::optional<std::string>> inputAnswers; // nullopt = Cancel

    void showMessage(std::string_view text, std::string_view title) override;
    bool offerAction(std::string_view text, std::string_view title,
                     std::string_view action) override;
    bool askYesNo(std::string_view text, std::string_view title, bool yesIsDefault) override;
    std::optional<std::string> askText(std::string_view prompt, std::string_view title,
                                       std::string_view defaultText) override;
    bool setClipboardText(std::string_view text) override;
    void focusMergedName() override { ++mergedNameFocused; }
    void showStatus(std::string_view text) override { statusLines.emplace_back(text); }
    void showRunSummary(std::string_view text) override { summaries.emplace_back(text); }
};

} // namespace travonix::test
