#include "cli/CliServices.h"

#include "app/Product.h"

namespace travonix::cli {

std::string terminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void CliServices::messageBox(std::string_view text, std::string_view title) {
    if (title == std::string(kProductName) + " Maker") {
        completion_.emplace_back(text);
        return;
    }
    err_ << terminalText(text) << '\n';
}

bool CliServices::askYesNo(std::string_view text, std::string_view /*title*/) {
    err_ << terminalText(text) << (answerYes_ ? " Yes (--yes)" : " No (use --yes to go on)")
         << '\n';
    if (!answerYes_)
        declined_ = true;
    return answerYes_;
}

std::optional<std::string> CliServices::inputBox(std::string_view prompt, std::string_view,
                                                 std::string_view) {
    // The tool never prompts: the caller passes every answer as an option.
    err_ << terminalText(prompt) << '\n';
    return std::nullopt;
}

void CliServices::reportWarning(std::string_view text) {
    err_ << "travonix-cli: warning: " << terminalText(text) << '\n';
}

void CliServices::reportStatus(std::string_view text) {
    failed_ = true;
    err_ << "travonix-cli: " << terminalText(text) << '\n';
}

} // namespace travonix::cli
