#pragma once

#include "app/UserInterface.h"

#include <functional>

class QStatusBar;
class QWidget;

namespace travonix {

class MessageHistory;
class WindowDialogs;

// The steps' boxes, clipboard, focus and status line on the window's
// widgets. Every box is modal over the window and titled as the step says;
// a long list in a box is cut short there and kept whole in the message
// history, which records every message.
class WidgetUserInterface : public UserInterface {
  public:
    WidgetUserInterface(QWidget& window, WindowDialogs& dialogs, QStatusBar& statusBar,
                        MessageHistory& history, std::function<void()> focusMergedName);

    void showMessage(std::string_view text, std::string_view title) override;
    bool offerAction(std::string_view text, std::string_view title,
                     std::string_view action) override;
    bool askYesNo(std::string_view text, std::string_view title, bool yesIsDefault) override;
    std::optional<std::string> askText(std::string_view prompt, std::string_view title,
                                       std::string_view defaultText) override;
    bool setClipboardText(std::string_view text) override;
    bool setClipboardParts(const std::vector<std::string_view>& parts) override;
    void focusMergedName() override;
    void showStatus(std::string_view text) override;
    void showRunSummary(std::string_view text) override;

  private:
    QWidget& window_;
    WindowDialogs& dialogs_;
    QStatusBar& statusBar_;
    MessageHistory& history_;
    std::function<void()> focusMergedName_;
};

} // namespace travonix
