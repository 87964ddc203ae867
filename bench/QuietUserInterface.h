#pragma once

#include "app/Session.h"
#include "app/UserInterface.h"

#include <string>

namespace travonix::bench {

// Answers every box silently. A benchmark tells that its run did the whole
// work from the session's report (firstError below), not from the status
// line, which also carries warnings.
class QuietUserInterface : public UserInterface {
  public:
    void showMessage(std::string_view, std::string_view) override {}
    bool offerAction(std::string_view, std::string_view, std::string_view) override {
        return false;
    }
    bool askYesNo(std::string_view, std::string_view, bool) override { return true; }
    std::optional<std::string> askText(std::string_view, std::string_view,
                                       std::string_view) override {
        return std::nullopt;
    }
    bool setClipboardText(std::string_view) override { return true; }
    bool setClipboardParts(const std::vector<std::string_view>&) override { return true; }
    void focusMergedName() override {}
    void showStatus(std::string_view) override {}
};

// The first error a run reported; "" when there was none.
inline std::string firstError(const Session& session) {
    for (const Diagnostic& d : session.lastReport)
        if (d.kind == Diagnostic::Kind::Error)
            return d.text;
    return {};
}

} // namespace travonix::bench
