#pragma once

#include "listing/WindowServices.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace travonix::test {

// Window services with scripted answers, recording everything the handlers
// show. An unscripted question or input box fails the test.
class ScriptedServices : public WindowServices {
  public:
    struct Shown {
        std::string text;
        std::string title;
    };

    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<Shown> inputPrompts;
    std::vector<std::string> statusReports;
    std::vector<std::string> warnings;
    std::vector<Control> focused;
    std::optional<std::string> clipboard;
    bool clipboardAvailable = true;
    int progressCalls = 0;

    std::deque<bool> yesNoAnswers;                       // true = Yes
    std::deque<std::optional<std::string>> inputAnswers; // nullopt = Cancel

    void messageBox(std::string_view text, std::string_view title) override;
    bool askYesNo(std::string_view text, std::string_view title) override;
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;
    bool setClipboardText(std::string_view text) override;
    void setFocus(Control control) override;
    void reportStatus(std::string_view text) override;
    void reportWarning(std::string_view text) override;
    void generatedSourceProgress() override { ++progressCalls; }
};

} // namespace travonix::test
