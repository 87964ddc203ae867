#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace travonix::test {

void ScriptedServices::messageBox(std::string_view text, std::string_view title) {
    messages.push_back({std::string(text), std::string(title)});
}

bool ScriptedServices::askYesNo(std::string_view text, std::string_view title) {
    questions.push_back({std::string(text), std::string(title)});
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "unscripted question: " << text;
        return false;
    }
    bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedServices::inputBox(std::string_view prompt,
                                                      std::string_view title,
                                                      std::string_view /*defaultText*/) {
    inputPrompts.push_back({std::string(prompt), std::string(title)});
    if (inputAnswers.empty()) {
        ADD_FAILURE() << "unscripted input box: " << prompt;
        return std::nullopt;
    }
    auto answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

bool ScriptedServices::setClipboardText(std::string_view text) {
    if (!clipboardAvailable)
        return false;
    clipboard = std::string(text);
    return true;
}

void ScriptedServices::setFocus(Control control) {
    focused.push_back(control);
}

void ScriptedServices::reportStatus(std::string_view text) {
    statusReports.emplace_back(text);
}

void ScriptedServices::reportWarning(std::string_view text) {
    warnings.emplace_back(text);
}

} // namespace travonix::test
