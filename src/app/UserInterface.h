#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// Everything the steps need from the window besides the session: modal
// boxes, the clipboard, focus and the status line. The window implements it
// with real dialogs; tests answer from a script.
class UserInterface {
  public:
    virtual ~UserInterface() = default;

    // A modal box with an OK button and no icon.
    virtual void showMessage(std::string_view text, std::string_view title) = 0;
    // A modal box with an OK button and one more button, `action`; true when
    // that one was pressed (the caller then does what it says).
    virtual bool offerAction(std::string_view text, std::string_view title,
                             std::string_view action) = 0;
    // A modal Yes/No question; true means Yes.
    virtual bool askYesNo(std::string_view text, std::string_view title, bool yesIsDefault) = 0;
    // A modal input box; std::nullopt means Cancel.
    virtual std::optional<std::string> askText(std::string_view prompt, std::string_view title,
                                               std::string_view defaultText) = 0;
    // Clears the clipboard and puts plain text on it; false when it is not
    // available.
    virtual bool setClipboardText(std::string_view text) = 0;
    // The same for a text given in pieces (a large file's blocks), joined by
    // whoever needs it whole.
    virtual bool setClipboardParts(const std::vector<std::string_view>& parts) {
        std::string text;
        for (std::string_view part : parts)
            text += part;
        return setClipboardText(text);
    }
    // Moves the keyboard focus to the merged name's field.
    virtual void focusMergedName() = 0;
    // A failure or warning without a box of its own, for the status line.
    virtual void showStatus(std::string_view text) = 0;
    // What a load found or a finished run wrote (functions, words, files),
    // for the status line; shown before the warnings and write failures,
    // which then stay in view.
    virtual void showRunSummary(std::string_view /*text*/) {}
};

} // namespace travonix
