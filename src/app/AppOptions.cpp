#include "app/AppOptions.h"

#include "listing/TextRules.h"

#include <charconv>

namespace travonix {

void AppOptions::fillSystemFunctionNames() {
    SystemFunctionNames[0] = "__pic32_software_reset";
    SystemFunctionNames[1] = "_nmi_handler";
}

bool AppOptions::isSystemFunction(std::string_view name) const {
    if (name.empty())
        return false;
    for (const std::string& entry : SystemFunctionNames) {
        if (entry.empty())
            return false;
        if (containsNoCase(name, entry))
            return true;
    }
    return false;
}

AppOptions defaultOptions() {
    AppOptions options;
    options.DisAsmCmd = defaults::kDisAsmCmd;
    options.IndividualPluginFiles = defaults::kIndividualPluginFiles;
    options.fillSystemFunctionNames();
    return options;
}

namespace {

std::optional<long long> parseInteger(std::string_view text) {
    std::string_view t = trimBlanks(text);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    long long value = 0;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (t.empty() || ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<bool> textToBool(std::string_view text) {
    if (equalsNoCase(trimBlanks(text), "true"))
        return true;
    if (equalsNoCase(trimBlanks(text), "false"))
        return false;
    if (auto number = parseInteger(text))
        return *number != 0;
    return std::nullopt;
}

std::optional<int> textToCheckState(std::string_view text) {
    auto number = parseInteger(text);
    if (!number || *number < 0 || *number > 2)
        return std::nullopt;
    return static_cast<int>(*number);
}

std::string boolToText(bool value) { return value ? "True" : "False"; }

std::string applyDashZRule(std::string command) {
    if (command.find("-z") == std::string::npos)
        command += " -z ";
    return command;
}

} // namespace travonix
