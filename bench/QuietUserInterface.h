#pragma once

#include "app/UserInterface.h"

#include <string>

namespace travonix::bench {

// Answers every box silently; keeps the first failure reported, so a
// benchmark can tell that its run did the whole work.
class QuietUserInterface : public UserInterface {
  public:
    void showMessage(std::string_view, std::string_view) override {}
    bool askYesNo(std::string_view, std::string_view, bool) override { return true; }
    std::optional<std::string> askText(std::string_view, std::string_view,
                                       std::string_view) override {
        return std::nullopt;
    }
    bool setClipboardText(std::string_view) override { return true; }
    bool setClipboardParts(const std::vector<std::string_view>&) override { return true; }
    void focusMergedName() override {}
    void showStatus(std::string_view text) override {
        if (failure.empty())
            failure = text;
    }

    std::string failure;
};

} // namespace travonix::bench
