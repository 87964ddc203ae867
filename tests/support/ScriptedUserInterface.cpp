#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

namespace travonix::test {

void ScriptedUserInterface::showMessage(std::string_view text, std::string_view title) {
    messages.push_back({std::string(text), std::string(title)});
}

bool ScriptedUserInterface::offerAction(std::string_view text, std::string_view title,
                                        std::string_view action) {
    messages.push_back({std::string(text), std::string(title)});
    offeredActions.emplace_back(action);
    if (actionAnswers.empty()) {
        ADD_FAILURE() << "unscripted box with an action: " << text;
        return false;
    }
    const bool answer = actionAnswers.front();
    actionAnswers.pop_front();
    return answer;
}

bool ScriptedUserInterface::askYesNo(std::string_view text, std::string_view title,
                                     bool yesIsDefault) {
    questions.push_back({std::string(text), std::string(title)});
    questionDefaults.push_back(yesIsDefault);
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "unscripted question: " << text;
        return false;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedUserInterface::askText(std::string_view prompt,
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

bool ScriptedUserInterface::setClipboardText(std::string_view text) {
    if (!clipboardAvailable)
        return false;
    clipboard = std::string(text);
    return true;
}

} // namespace travonix::test
