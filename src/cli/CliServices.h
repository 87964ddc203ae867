#pragma once

#include "listing/WindowServices.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace travonix::cli {

// The window's boxes on a terminal: message boxes go to stderr as they stand,
// except the make command's completion message, which is the run's result
// and is kept for stdout. Questions are answered from the command line.
class CliServices : public WindowServices {
  public:
    CliServices(std::ostream& err, bool answerYes) : err_(err), answerYes_(answerYes) {}

    void messageBox(std::string_view text, std::string_view title) override;
    bool askYesNo(std::string_view text, std::string_view title) override;
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;
    bool setClipboardText(std::string_view) override { return false; }
    void setFocus(Control) override {}
    void reportStatus(std::string_view text) override;
    void reportWarning(std::string_view text) override;

    // Completion messages of the make command, in the order shown.
    const std::vector<std::string>& completionMessages() const { return completion_; }
    bool questionDeclined() const { return declined_; }
    bool failureReported() const { return failed_; }

  private:
    std::ostream& err_;
    bool answerYes_;
    bool declined_ = false;
    bool failed_ = false;
    std::vector<std::string> completion_;
};

// Text of a box for a terminal: CR LF and lone CR become LF.
std::string terminalText(std::string_view text);

} // namespace travonix::cli
