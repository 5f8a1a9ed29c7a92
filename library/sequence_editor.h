#pragma once
// The sequence editor: Insert/Add, Delete Macro Link and clicking a line of
// MacroComboList. Insert and Delete Macro Link change the combination's
// Sequence in "ComboDb.Dat" at once. They act on the slot of the line the
// user selected (the position that line shows), keep the boot macro the same
// macro by moving StartingMacroNum with it, and never push a macro out of
// the 256 slots.
#include <string>

#include "base/prompter.h"
#include "library/combination_editor.h"
#include "library/macro_editor.h"
#include "state/main_state.h"

namespace brindle::library {

// Insert/Add: puts the macro named `macroName` after the selected line (after
// the last line when none is selected) of the combination named in the form.
ComboEdit insertMacro(state::MainState& state, const ComboForm& form, const std::string& macroName,
                      base::Prompter& prompter);

// Delete Macro Link: removes the selected line's slot from the combination
// named in the form. A combination name too long for its field is refused.
ComboEdit unlinkMacro(state::MainState& state, const ComboForm& form, base::Prompter& prompter);

// Clicking a line: loads the line's macro into the macro editor.
MacroEdit previewSequenceLine(state::MainState& state, const ComboForm& form);

}  // namespace brindle::library
