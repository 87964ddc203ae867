#include "core/FunctionSelection.h"

namespace travonix {

SavedSelection::SavedSelection(const std::vector<FunctionEntry>& functions) {
    selectedByName_.reserve(functions.size());
    for (const FunctionEntry& entry : functions)
        selectedByName_[entry.name].push_back(entry.selected);
}

void SavedSelection::applyTo(std::vector<FunctionEntry>& functions) const {
    std::unordered_map<std::string, std::size_t> seen;
    for (FunctionEntry& entry : functions) {
        const std::size_t occurrence = seen[entry.name]++;
        auto it = selectedByName_.find(entry.name);
        if (it == selectedByName_.end())
            continue;
        const std::vector<bool>& states = it->second;
        entry.selected = occurrence < states.size() ? states[occurrence] : states.front();
    }
}

void selectAll(std::vector<FunctionEntry>& functions, bool selected) {
    for (FunctionEntry& entry : functions)
        entry.selected = selected;
}

} // namespace travonix
