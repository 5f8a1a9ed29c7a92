#pragma once
// Choosing the combination to download: a click on CustomList lists the
// combination's macros (sequence order) and selects the boot macro's line.
#include <optional>
#include <string>
#include <vector>

#include "state/main_state.h"

namespace brindle::library {

struct MacroListing {
    std::vector<std::string> lines;
    int selectedIndex = -1;  // the boot macro's line, -1 when it is not listed
};

// CustomList click. Resets NotifyExecute whatever happens. Returns the new
// content of MacrosInCombination, or nothing when no entry is chosen or the
// name is not found (the list then keeps what it showed). comboListEntries
// are the entries of ComboList, which holds the same names as CustomList.
std::optional<MacroListing> chooseCombinationForDownload(
    state::MainState& state, const std::vector<std::string>& comboListEntries, int chosenIndex);

// After every entry named `removed` has left CustomList: the index the chosen
// entry then has, or -1 when nothing was chosen or the chosen entry was one
// of those removed. A download never falls on a neighbour the user did not
// choose.
int chosenAfterRemoval(const std::vector<std::string>& entries, int chosenIndex,
                       const std::string& removed);

}  // namespace brindle::library
