#include "listing/SavedSelection.h"

namespace travonix {

SavedSelection::SavedSelection(const std::vector<FunctionEntry>& functions) {
    selectedByName_.reserve(functions.size());
    for (const FunctionEntry& entry : functions)
        selectedByName_.emplace(entry.name, entry.selected); // keeps the first
}

void SavedSelection::applyTo(std::vector<FunctionEntry>& functions) const {
    for (FunctionEntry& entry : functions) {
        auto it = selectedByName_.find(entry.name);
        if (it != selectedByName_.end())
            entry.selected = it->second;
    }
}

} // namespace travonix
