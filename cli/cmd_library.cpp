// brindle-cli macros, combos, show-combo, add-macro, add-combo: the macro
// library as the window's lists show it, and a way to fill it from scripts.
#include <ostream>

#include "base/text.h"
#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/command_prompter.h"
#include "cli/commands.h"
#include "cli/edit_status.h"
#include "library/combination_editor.h"
#include "library/loose_match.h"
#include "library/macro_editor.h"
#include "store/databases.h"

namespace brindle::cli {
namespace {

constexpr const char* kMacrosHelp =
    "Usage: brindle-cli macros [--data DIR]\n"
    "\n"
    "Lists the macro names of DIR's MacroDb.Dat (default: the program's folder)\n"
    "as the window lists them: one per line, 12 characters, blanks kept, in file\n"
    "order, deleted macros left out.\n";

constexpr const char* kCombosHelp =
    "Usage: brindle-cli combos [--data DIR]\n"
    "\n"
    "Lists the combination names of DIR's ComboDb.Dat, one per line, 16\n"
    "characters, blanks kept, in file order.\n";

constexpr const char* kShowHelp =
    "Usage: brindle-cli show-combo [--data DIR] NAME\n"
    "\n"
    "Shows the combination NAME (cut or filled to 16 characters): its fields and\n"
    "the lines of its macro sequence as the window lists them. Exit status 2\n"
    "when there is no such combination.\n";

constexpr const char* kAddMacroHelp =
    "Usage: brindle-cli add-macro [--data DIR] NAME [FILE]\n"
    "\n"
    "Stores the text of FILE (or standard input) as the macro NAME, replacing\n"
    "a macro of that name or adding a new record. NAME may not be blank. A text\n"
    "without the word MACRO is stored with a warning. Exit status 2 for a blank\n"
    "name or a text longer than 16332 characters, 1 when the database cannot be\n"
    "written.\n";

constexpr const char* kAddComboHelp =
    "Usage: brindle-cli add-combo [--data DIR] [--node N] [--boot P]\n"
    "                             [--version TEXT] [--description TEXT] NAME SLOT...\n"
    "\n"
    "Stores the combination NAME, replacing one of that name or adding a new\n"
    "record. Each SLOT is a macro name for the next position, or \"-\" for an\n"
    "empty position; names are found as Save Combination finds them (blanks\n"
    "trimmed, letter case ignored). N is the node address (default 65), P the\n"
    "position of the boot macro (default 0, none), both from -32768 to 32767.\n"
    "Exit status 2, with nothing written, when a name is unknown; 1 when the\n"
    "database cannot be written.\n";

int help(CommandContext& context, const char* text) {
    context.out << text;
    return kExitOk;
}

std::string dataFolder(const ParsedOptions& options, const CommandContext& context) {
    return options.dataFolder(context.dataDir);
}

}  // namespace

int runMacros(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        return help(context, kMacrosHelp);
    }
    if (!options.error.empty() || !options.positional.empty()) {
        return usageError(context, "macros",
                          options.error.empty() ? "no arguments expected" : options.error);
    }
    store::MacroRecord buffer;
    for (const std::string& name : store::listMacroNames(dataFolder(options, context), buffer)) {
        context.out << name << "\n";
    }
    return kExitOk;
}

int runCombos(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        return help(context, kCombosHelp);
    }
    if (!options.error.empty() || !options.positional.empty()) {
        return usageError(context, "combos",
                          options.error.empty() ? "no arguments expected" : options.error);
    }
    for (const std::string& name : store::listComboNames(dataFolder(options, context))) {
        context.out << name << "\n";
    }
    return kExitOk;
}

int runShowCombo(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        return help(context, kShowHelp);
    }
    if (!options.error.empty() || options.positional.size() != 1) {
        return usageError(context, "show-combo",
                          options.error.empty() ? "give exactly one NAME" : options.error);
    }
    const std::string dir = dataFolder(options, context);
    auto match = store::FindCombo(dir, options.positional[0]);
    if (!match) {
        context.err << "brindle-cli show-combo: no combination named \"" << options.positional[0]
                    << "\" in " << dir << store::kComboDbFile << "\n";
        return kExitBadInput;
    }
    const store::ComboRecord& c = match->record;
    context.out << "Name:             " << c.Name << "\n"
                << "Record:           " << match->number << "\n"
                << "Version:          " << c.Version << "\n"
                << "Description:      " << base::trimTrailingBlanks(c.Description) << "\n"
                << "Node Address:     " << c.NodeAddress << "\n"
                << "Starting Macro #: " << c.StartingMacroNum << "\n"
                << "Sequence:\n";
    store::MacroRecord buffer;
    for (const auto& entry : store::sequenceEntries(dir, c, buffer)) {
        context.out << entry.line << "\n";
    }
    return kExitOk;
}

int runAddMacro(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        return help(context, kAddMacroHelp);
    }
    if (!options.error.empty() || options.positional.empty() || options.positional.size() > 2) {
        return usageError(context, "add-macro",
                          options.error.empty() ? "give NAME and at most one FILE" : options.error);
    }
    auto text = readInput(options.positional.size() > 1 ? options.positional[1] : "", context);
    if (!text) {
        return kExitBadInput;
    }
    if (text->size() > store::kMacroBodyWidth) {
        context.err << "brindle-cli add-macro: the text has " << text->size()
                    << " characters; a macro holds at most " << store::kMacroBodyWidth << "\n";
        return kExitBadInput;
    }
    state::MainState state;
    state.DataDir = dataFolder(options, context);
    CommandPrompter prompter(context.err, "add-macro");
    return exitStatusFor(library::saveMacro(state, options.positional[0], *text, prompter), context,
                         "add-macro");
}

int runAddCombo(const Arguments& args, CommandContext& context) {
    ParsedOptions options =
        parseOptions(args, {"--data", "--node", "--boot", "--version", "--description"});
    if (options.flags.count("--help")) {
        return help(context, kAddComboHelp);
    }
    if (!options.error.empty() || options.positional.empty()) {
        return usageError(context, "add-combo",
                          options.error.empty() ? "give NAME and the slots" : options.error);
    }
    if (base::trimBlanks(base::fixedWidth(options.positional[0], store::kComboNameWidth)).empty()) {
        return usageError(context, "add-combo", "a combination needs a name that is not blank");
    }
    if (options.positional.size() - 1 > store::kSequenceSlots) {
        return usageError(context, "add-combo", "a combination holds at most 256 macros");
    }
    auto node = wholeNumber(options.value("--node", "65"));
    auto boot = wholeNumber(options.value("--boot", "0"));
    if (!node || !boot || *node < -32768 || *node > 32767 || *boot < -32768 || *boot > 32767) {
        return usageError(context, "add-combo", "--node and --boot take whole 16-bit numbers");
    }
    state::MainState state;
    state.DataDir = dataFolder(options, context);
    store::ComboRecord record;
    record.Name = base::fixedWidth(options.positional[0], store::kComboNameWidth);
    record.Version = base::fixedWidth(options.value("--version"), 16);
    record.Description = base::fixedWidth(options.value("--description"), 80);
    record.NodeAddress = static_cast<int16_t>(*node);
    record.StartingMacroNum = static_cast<int16_t>(*boot);

    // The names are found as Save Combination finds them: blanks trimmed,
    // letter case ignored.
    std::vector<std::string> names;
    std::vector<std::size_t> slots;
    for (std::size_t i = 1; i < options.positional.size(); ++i) {
        if (options.positional[i] != "-") {
            names.push_back(options.positional[i]);
            slots.push_back(i - 1);
        }
    }
    const auto matches = library::findMacrosLoosely(state.DataDir, names, state.MacroBuffer);
    std::string unknown;
    for (std::size_t j = 0; j < names.size(); ++j) {
        if (matches[j].number == 0) {
            unknown += "\n  " + names[j];
        }
        record.Sequence[slots[j]] = matches[j].number;
    }
    if (!unknown.empty()) {
        context.err << "brindle-cli add-combo: no macro has these names; nothing was written:"
                    << unknown << "\n";
        return kExitBadInput;
    }
    CommandPrompter prompter(context.err, "add-combo");
    return exitStatusFor(library::storeCombination(state, record, prompter), context, "add-combo");
}

}  // namespace brindle::cli
