#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace travonix {

// Controls that a handler can move the keyboard focus to.
enum class Control { txtCFunctionName };

// Everything a command handler needs from the window besides its control
// state: modal boxes, the clipboard, focus and the status line. The window
// implements it with real dialogs, the command-line tool with stdout/stderr
// and its options, tests with scripted answers.
class WindowServices {
  public:
    virtual ~WindowServices() = default;

    // Modal box with an OK button and no icon.
    virtual void messageBox(std::string_view text, std::string_view title) = 0;
    // Modal Yes/No question; true means Yes.
    virtual bool askYesNo(std::string_view text, std::string_view title) = 0;
    // Modal input box; std::nullopt means Cancel.
    virtual std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                                std::string_view defaultText) = 0;
    // Clears the clipboard and puts plain text on it; false when the clipboard
    // is not available.
    virtual bool setClipboardText(std::string_view text) = 0;
    virtual void setFocus(Control control) = 0;
    // A failure without a message box of its own (status line / stderr).
    virtual void reportStatus(std::string_view text) = 0;
    // Something the user should know that does not fail the run (status
    // line / stderr).
    virtual void reportWarning(std::string_view text) = 0;
    // The generated-source view grew by a function: scroll to its end and
    // repaint, so the user sees a long run progress.
    virtual void generatedSourceProgress() {}
};

} // namespace travonix
