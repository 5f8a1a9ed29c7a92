// brindle-cli show-macro, delete-macro, delete-combo, insert, unlink: the
// editors of the Specify Macros tab from a terminal. The command's words
// stand for the window's choices; no question is asked.
#include <ostream>

#include "base/numeric.h"
#include "base/text.h"
#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/command_prompter.h"
#include "cli/commands.h"
#include "cli/edit_status.h"
#include "library/combination_editor.h"
#include "library/macro_editor.h"
#include "library/sequence_editor.h"
#include "store/databases.h"

namespace brindle::cli {
namespace {

constexpr const char* kShowMacroHelp =
    "Usage: brindle-cli show-macro [--data DIR] NAME\n"
    "\n"
    "Writes the stored text of the macro NAME (at most 12 characters, letter\n"
    "case counts) to standard output as the editor shows it: leading and\n"
    "trailing blanks removed, the bytes as stored, whatever the output is (as\n"
    "cat does). Exit status 2 when no macro has that name.\n";

constexpr const char* kDeleteMacroHelp =
    "Usage: brindle-cli delete-macro [--data DIR] NAME\n"
    "\n"
    "Deletes the macro NAME (at most 12 characters) as Delete Macro does after\n"
    "Yes: its record is blanked in place, and combinations holding it no longer\n"
    "list it. Exit status 2 when there is no such macro, 1 when the database\n"
    "cannot be written.\n";

constexpr const char* kDeleteComboHelp =
    "Usage: brindle-cli delete-combo [--data DIR] NAME\n"
    "\n"
    "Deletes the combination NAME (at most 16 characters) as Delete Combination\n"
    "does after Yes. Exit status 2 when there is no such combination, 1 when the\n"
    "database cannot be written.\n";

constexpr const char* kInsertHelp =
    "Usage: brindle-cli insert [--data DIR] COMBO MACRO [--after LINE]\n"
    "\n"
    "Inserts the macro MACRO (at most 12 characters) into the sequence of the\n"
    "combination COMBO (at most 16), after line LINE of the sequence as\n"
    "show-combo lists it (1 = first line), or after the last line without\n"
    "--after. Later macros move one position on, and so does the starting macro\n"
    "when it is one of them. Exit status 2 when either name is unknown or too\n"
    "long, or the sequence has no room (position 256 taken), 1 when the\n"
    "database cannot be written.\n";

constexpr const char* kUnlinkHelp =
    "Usage: brindle-cli unlink [--data DIR] COMBO LINE\n"
    "\n"
    "Removes line LINE (1 = first line as show-combo lists it) from the sequence\n"
    "of the combination COMBO; later macros move one position back. Removing the\n"
    "starting macro sets the starting macro to 0 (none). Exit status 2 for an\n"
    "unknown combination or a line it does not have.\n";

int help(CommandContext& context, const char* text) {
    context.out << text;
    return kExitOk;
}

state::MainState stateFor(const ParsedOptions& options, const CommandContext& context) {
    state::MainState state;
    state.DataDir = options.dataFolder(context.dataDir);
    return state;
}

int noSuch(CommandContext& context, const std::string& command, const char* what,
           const std::string& name) {
    context.err << "brindle-cli " << command << ": no " << what << " named "
                << quotedForError(context, name) << "\n";
    return kExitBadInput;
}

// Names of the command line that fit their fields; a longer one would be cut
// and so stand for another record.
bool namesFit(CommandContext& context, const std::string& command, const std::string* combo,
              const std::string* macro) {
    return (combo == nullptr ||
            fitsField(context, command, "combination name", *combo, store::kComboNameWidth)) &&
           (macro == nullptr ||
            fitsField(context, command, "macro name", *macro, store::kMacroNameWidth));
}

// The combination's form as the window shows it after choosing it.
std::optional<library::ComboForm> loadedCombination(state::MainState& state,
                                                    const std::string& name) {
    auto match = store::FindCombo(state.DataDir, name);
    if (!match) {
        return std::nullopt;
    }
    library::ComboForm form;
    form.ComboList = name;
    form.StartingMacroNum = base::decimalText(match->record.StartingMacroNum);
    form.MacroComboList = library::sequenceLines(state, match->record);
    return form;
}

// A line number from 1 to the number of lines.
std::optional<int> lineIndex(const std::string& text, const library::ComboForm& form) {
    auto line = wholeNumber(text);
    if (!line || *line < 1 || *line > static_cast<long>(form.MacroComboList.size())) {
        return std::nullopt;
    }
    return static_cast<int>(*line - 1);
}

std::string lineRange(const library::ComboForm& form) {
    return form.MacroComboList.empty()
               ? std::string("the sequence has no lines")
               : "its sequence has lines 1 to " + std::to_string(form.MacroComboList.size());
}

}  // namespace

int runShowMacro(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        return help(context, kShowMacroHelp);
    }
    if (!options.error.empty() || options.positional.size() != 1) {
        return usageError(context, "show-macro",
                          options.error.empty() ? "give exactly one NAME" : options.error);
    }
    if (!namesFit(context, "show-macro", nullptr, &options.positional[0])) {
        return kExitBadInput;
    }
    state::MainState state = stateFor(options, context);
    if (!libraryUsable(context, "show-macro", state.DataDir, Uses::Macros)) {
        return kExitFailure;
    }
    if (!library::findNamedMacro(state, options.positional[0])) {
        return noSuch(context, "show-macro", "macro", options.positional[0]);
    }
    writeBytes(context.out, library::shownMacroText(state.MacroBuffer));
    return kExitOk;
}

int runDeleteMacro(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        return help(context, kDeleteMacroHelp);
    }
    if (!options.error.empty() || options.positional.size() != 1) {
        return usageError(context, "delete-macro",
                          options.error.empty() ? "give exactly one NAME" : options.error);
    }
    if (!namesFit(context, "delete-macro", nullptr, &options.positional[0])) {
        return kExitBadInput;
    }
    state::MainState state = stateFor(options, context);
    if (!libraryUsable(context, "delete-macro", state.DataDir, Uses::Macros)) {
        return kExitFailure;
    }
    CommandPrompter prompter(context.err, "delete-macro");
    library::MacroEdit edit = library::deleteMacro(state, options.positional[0], prompter);
    if (edit.outcome == library::EditOutcome::NotFound) {
        return noSuch(context, "delete-macro", "macro", options.positional[0]);
    }
    return exitStatusFor(edit, context, "delete-macro");
}

int runDeleteCombo(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        return help(context, kDeleteComboHelp);
    }
    if (!options.error.empty() || options.positional.size() != 1) {
        return usageError(context, "delete-combo",
                          options.error.empty() ? "give exactly one NAME" : options.error);
    }
    if (!namesFit(context, "delete-combo", &options.positional[0], nullptr)) {
        return kExitBadInput;
    }
    state::MainState state = stateFor(options, context);
    if (!libraryUsable(context, "delete-combo", state.DataDir, Uses::Combinations)) {
        return kExitFailure;
    }
    CommandPrompter prompter(context.err, "delete-combo");
    library::ComboEdit edit = library::deleteCombination(state, options.positional[0], prompter);
    if (edit.outcome == library::EditOutcome::NotFound) {
        return noSuch(context, "delete-combo", "combination", options.positional[0]);
    }
    return exitStatusFor(edit, context, "delete-combo");
}

int runInsert(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data", "--after"});
    if (options.flags.count("--help")) {
        return help(context, kInsertHelp);
    }
    if (!options.error.empty() || options.positional.size() != 2) {
        return usageError(context, "insert",
                          options.error.empty() ? "give COMBO and MACRO" : options.error);
    }
    const std::string& comboName = options.positional[0];
    const std::string& macroName = options.positional[1];
    if (!namesFit(context, "insert", &comboName, &macroName)) {
        return kExitBadInput;
    }
    state::MainState state = stateFor(options, context);
    if (!libraryUsable(context, "insert", state.DataDir)) {
        return kExitFailure;
    }
    auto form = loadedCombination(state, comboName);
    if (!form) {
        return noSuch(context, "insert", "combination", comboName);
    }
    if (!library::findNamedMacro(state, macroName)) {
        return noSuch(context, "insert", "macro", macroName);
    }
    if (options.has("--after")) {
        auto line = lineIndex(options.value("--after"), *form);
        if (!line) {
            return usageError(context, "insert",
                              "--after " + escapedForError(context, options.value("--after")) +
                                  " is not a line: " + lineRange(*form));
        }
        form->selectedLine = *line;
    }
    CommandPrompter prompter(context.err, "insert");
    return exitStatusFor(library::insertMacro(state, *form, macroName, prompter), context,
                         "insert");
}

int runUnlink(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        return help(context, kUnlinkHelp);
    }
    if (!options.error.empty() || options.positional.size() != 2) {
        return usageError(context, "unlink",
                          options.error.empty() ? "give COMBO and LINE" : options.error);
    }
    if (!namesFit(context, "unlink", &options.positional[0], nullptr)) {
        return kExitBadInput;
    }
    state::MainState state = stateFor(options, context);
    if (!libraryUsable(context, "unlink", state.DataDir)) {
        return kExitFailure;
    }
    auto form = loadedCombination(state, options.positional[0]);
    if (!form) {
        return noSuch(context, "unlink", "combination", options.positional[0]);
    }
    auto line = lineIndex(options.positional[1], *form);
    if (!line) {
        return usageError(context, "unlink",
                          escapedForError(context, options.positional[1]) +
                              " is not a line: " + lineRange(*form));
    }
    form->selectedLine = *line;
    CommandPrompter prompter(context.err, "unlink");
    return exitStatusFor(library::unlinkMacro(state, *form, prompter), context, "unlink");
}

}  // namespace brindle::cli
