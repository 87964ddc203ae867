#pragma once

#include "core/Listing.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace travonix {

// The user's choice of functions, kept across a re-read of the listing by name
// and occurrence: the second of two functions of one name (two static helpers
// from two C files) keeps its own state. An occurrence that did not exist
// before takes the state of the first function of that name.
class SavedSelection {
  public:
    explicit SavedSelection(const std::vector<FunctionEntry>& functions);

    // Gives every function whose name was saved its saved state; the others
    // keep the state they were read with.
    void applyTo(std::vector<FunctionEntry>& functions) const;

  private:
    std::unordered_map<std::string, std::vector<bool>> selectedByName_;
};

// Selects or clears every function.
void selectAll(std::vector<FunctionEntry>& functions, bool selected);

} // namespace travonix
