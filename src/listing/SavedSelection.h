#pragma once

#include "listing/WindowState.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace travonix {

// The user's choice of functions, kept by name across a re-read of the
// listing. Where a name occurs more than once, the first entry counts.
class SavedSelection {
  public:
    explicit SavedSelection(const std::vector<FunctionEntry>& functions);

    // Gives every function whose name was saved that saved state; the others
    // keep the state they were read with.
    void applyTo(std::vector<FunctionEntry>& functions) const;

  private:
    std::unordered_map<std::string, bool> selectedByName_;
};

} // namespace travonix
