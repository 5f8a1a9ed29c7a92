#pragma once
// The combination editor: choosing a combination in ComboList, New, Save and
// Delete. Each operation takes what the form shows and returns only what
// changes on it; the file work goes through store/ and questions through the
// Prompter.
#include <optional>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "library/box_text.h"
#include "library/edit_outcome.h"
#include "state/main_state.h"
#include "store/records.h"

namespace brindle::library {

// The combination's side of the form.
struct ComboForm {
    std::string ComboList;  // the text line
    std::string VersionText;
    std::string DescriptionText;
    std::string StartingMacroNum;
    std::string NodeAddress;
    std::vector<std::string> MacroComboList;
    int selectedLine = -1;  // of MacroComboList, -1 for none
};

struct ComboEdit : EditResult {
    std::optional<std::string> ComboList;  // the new text line
    std::optional<std::string> VersionText;
    std::optional<std::string> DescriptionText;
    std::optional<std::string> StartingMacroNum;
    std::optional<std::string> NodeAddress;
    std::optional<std::vector<std::string>> MacroComboList;  // refilled
    int selectedLine = -1;                                   // in the refilled list
    std::optional<std::string> addedEntry;    // to the end of ComboList and CustomList
    std::optional<std::string> removedEntry;  // entries of this name leave both lists
};

// The sequence lines of a combination, as MacroComboList shows them.
std::vector<std::string> sequenceLines(state::MainState& state, const store::ComboRecord& combo);

// Choosing entry `entry` of ComboList: shows its fields and sequence.
// NotFound changes nothing.
ComboEdit chooseCombination(state::MainState& state, const std::string& entry);

// New Combination: every box, the name line and the sequence list emptied.
ComboEdit newCombination();

// Save Combination: builds the sequence from the lines' macro names (loose
// match) and stores the record under the name line. Invalid lines are listed
// first (Cancel saves nothing); an existing name is overwritten only after
// Yes; numbers outside 16 bits are refused. After a write the list shows the
// sequence as saved, each line at the position it was stored in.
ComboEdit saveCombination(state::MainState& state, const ComboForm& form, base::Prompter& prompter);

// The same with the text of DescriptionText in place of form.DescriptionText:
// stored as loaded while unchanged, and refused with a message when writing
// its line ends as CR LF would cut it.
ComboEdit saveCombination(state::MainState& state, ComboForm form, const BoxText& description,
                          base::Prompter& prompter);

// Writes `record` under its name: appended when the name is new, overwritten
// after Yes to the over-write question when it exists.
ComboEdit storeCombination(state::MainState& state, const store::ComboRecord& record,
                           base::Prompter& prompter);

// Delete Combination: after Yes, removes the named record from the database
// and its entries from ComboList and CustomList, and empties the form.
ComboEdit deleteCombination(state::MainState& state, const std::string& nameLine,
                            base::Prompter& prompter);

}  // namespace brindle::library
