#pragma once
// The macro editor: choosing a macro in MacroList, New, Save and Delete. Each
// operation takes what the form shows and returns only what changes on it;
// the file work goes through store/ and questions through the Prompter.
#include <optional>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "library/box_text.h"
#include "library/edit_outcome.h"
#include "state/main_state.h"

namespace brindle::library {

struct MacroEdit : EditResult {
    std::optional<std::string> MacroList;  // the new text line
    std::optional<std::string> MacroText;
    std::optional<std::string> MacroSizeLabel;
    std::optional<std::string> addedEntry;                // goes to the end of MacroList
    std::optional<std::vector<std::string>> listEntries;  // MacroList refilled
};

// Looks a macro up by its exact name. A blank name matches nothing: a record
// with a blank name is a deleted one.
std::optional<int32_t> findNamedMacro(state::MainState& state, const std::string& name);

// The text of a macro as the editor shows it and its size caption.
std::string shownMacroText(const store::MacroRecord& record);
std::string macroSizeCaption(const std::string& shownText);

// Choosing entry `entry` of MacroList: shows the macro's text and size.
// NotFound changes nothing.
MacroEdit chooseMacro(state::MainState& state, const std::string& entry);

// New Macro: empty name line and text, and the size of that text.
MacroEdit newMacro();

// Save Macro: stores `text` under the name of the text line. A blank name and
// a name longer than 12 characters are refused; an existing name is
// overwritten only after Yes. Before that, warnings: a text without "MACRO",
// and what compiling the text notes. MacroSizeLabel follows a written text.
MacroEdit saveMacro(state::MainState& state, const std::string& nameLine, const std::string& text,
                    base::Prompter& prompter);

// The same with the text of MacroText: stored as loaded while unchanged, and
// refused with a message when writing its line ends as CR LF would cut it.
MacroEdit saveMacro(state::MainState& state, const std::string& nameLine, const BoxText& text,
                    base::Prompter& prompter);

// Delete Macro: after Yes, blanks the named record in place; MacroList is
// refilled from the file whether or not the name was found.
MacroEdit deleteMacro(state::MainState& state, const std::string& nameLine,
                      base::Prompter& prompter);

}  // namespace brindle::library
