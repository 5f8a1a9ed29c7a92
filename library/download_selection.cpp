#include "library/download_selection.h"

#include "base/text.h"
#include "store/databases.h"

namespace brindle::library {

std::optional<MacroListing> chooseCombinationForDownload(
    state::MainState& state, const std::vector<std::string>& comboListEntries, int chosenIndex) {
    state.NotifyExecute = false;
    if (chosenIndex < 0 || chosenIndex >= static_cast<int>(comboListEntries.size())) {
        return std::nullopt;
    }
    const std::string name = base::fixedWidth(
        comboListEntries[static_cast<std::size_t>(chosenIndex)], store::kComboNameWidth);
    auto match = store::FindCombo(state.DataDir, name);
    if (!match) {
        return std::nullopt;
    }
    MacroListing listing;
    for (const auto& entry :
         store::sequenceEntries(state.DataDir, match->record, state.MacroBuffer)) {
        if (entry.position == match->record.StartingMacroNum) {
            listing.selectedIndex = static_cast<int>(listing.lines.size());
        }
        listing.lines.push_back(entry.line);
    }
    return listing;
}

int chosenAfterRemoval(const std::vector<std::string>& entries, int chosenIndex,
                       const std::string& removed) {
    if (chosenIndex < 0 || chosenIndex >= static_cast<int>(entries.size()) ||
        entries[static_cast<std::size_t>(chosenIndex)] == removed) {
        return -1;
    }
    int index = 0;
    for (int i = 0; i < chosenIndex; ++i) {
        if (entries[static_cast<std::size_t>(i)] != removed) {
            ++index;
        }
    }
    return index;
}

}  // namespace brindle::library
