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

// What every listing's help adds about the way stored texts are printed.
constexpr const char* kListingForm =
    "\n"
    "On a terminal, and with --escape anywhere, control bytes are shown as \\xHH\n"
    "and a backslash as \\\\, so that a stored name cannot drive the terminal.\n"
    "Into a pipe or a file the stored bytes go as they are, except that CR and LF\n"
    "are written \\r and \\n: one name is always one line.\n";

constexpr const char* kMacrosHelp =
    "Usage: brindle-cli macros [--data DIR] [--escape]\n"
    "\n"
    "Lists the macro names of DIR's MacroDb.Dat (default: the data folder)\n"
    "as the window lists them: one per line, 12 characters, blanks kept, in file\n"
    "order, deleted macros left out.\n";

constexpr const char* kCombosHelp =
    "Usage: brindle-cli combos [--data DIR] [--escape]\n"
    "\n"
    "Lists the combination names of DIR's ComboDb.Dat, one per line, 16\n"
    "characters, blanks kept, in file order.\n";

constexpr const char* kShowHelp =
    "Usage: brindle-cli show-combo [--data DIR] [--escape] NAME\n"
    "\n"
    "Shows the combination NAME (at most 16 characters): its fields and the\n"
    "lines of its macro sequence as the window lists them. Exit status 2 when\n"
    "there is no such combination.\n";

constexpr const char* kAddMacroHelp =
    "Usage: brindle-cli add-macro [--data DIR] NAME [FILE]\n"
    "\n"
    "Stores the text of FILE (or standard input) as the macro NAME, replacing\n"
    "a macro of that name or adding a new record. NAME may not be blank, longer\n"
    "than 12 characters (trailing blanks do not count) or hold control\n"
    "characters. A text without the word MACRO is stored with a warning. Exit\n"
    "status 2 for such a name or a text longer than 16332 characters, 1 when\n"
    "the database cannot be written (the message says why; nothing is changed).\n";

constexpr const char* kAddComboHelp =
    "Usage: brindle-cli add-combo [--data DIR] [--node N] [--boot P]\n"
    "                             [--version TEXT] [--description TEXT] NAME SLOT...\n"
    "\n"
    "Stores the combination NAME, replacing one of that name or adding a new\n"
    "record. Each SLOT is a macro name for the next position, or \"-\" for an\n"
    "empty position; names are found as Save Combination finds them (blanks\n"
    "trimmed, letter case ignored). N is the node address (default 65), P the\n"
    "position of the boot macro (default 0, none), both whole numbers from\n"
    "-32768 to 32767. NAME may not be blank, longer than 16 characters or hold\n"
    "control characters; TEXT of --version holds at most 16 characters, of\n"
    "--description 80. Exit status 2, with nothing written, for such input or\n"
    "an unknown name; 1 when the database cannot be written.\n";

int help(CommandContext& context, const char* text, const char* more = "") {
    context.out << text << more;
    return kExitOk;
}

std::string dataFolder(const ParsedOptions& options, const CommandContext& context) {
    return options.dataFolder(context.dataDir);
}

// The style of the listing on the output stream.
TextStyle listingStyle(const ParsedOptions& options, const CommandContext& context) {
    TextStyle style = context.outStyle;
    if (options.flags.count("--escape") > 0 && !style.escape) {
        style.escape = true;
        style.utf8 = false;
    }
    return style;
}

constexpr long kInt16Low = -32768;
constexpr long kInt16High = 32767;

}  // namespace

int runMacros(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"}, {"--escape"});
    if (options.flags.count("--help")) {
        return help(context, kMacrosHelp, kListingForm);
    }
    if (!options.error.empty() || !options.positional.empty()) {
        return usageError(context, "macros",
                          options.error.empty() ? "no arguments expected" : options.error);
    }
    const TextStyle style = listingStyle(options, context);
    const std::string dir = dataFolder(options, context);
    if (!libraryUsable(context, "macros", dir, Uses::Macros)) {
        return kExitFailure;
    }
    store::MacroRecord buffer;
    for (const std::string& name : store::listMacroNames(dir, buffer)) {
        context.out << shownText(name, style) << "\n";
    }
    return kExitOk;
}

int runCombos(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"}, {"--escape"});
    if (options.flags.count("--help")) {
        return help(context, kCombosHelp, kListingForm);
    }
    if (!options.error.empty() || !options.positional.empty()) {
        return usageError(context, "combos",
                          options.error.empty() ? "no arguments expected" : options.error);
    }
    const TextStyle style = listingStyle(options, context);
    const std::string dir = dataFolder(options, context);
    if (!libraryUsable(context, "combos", dir, Uses::Combinations)) {
        return kExitFailure;
    }
    for (const std::string& name : store::listComboNames(dir)) {
        context.out << shownText(name, style) << "\n";
    }
    return kExitOk;
}

int runShowCombo(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"}, {"--escape"});
    if (options.flags.count("--help")) {
        return help(context, kShowHelp, kListingForm);
    }
    if (!options.error.empty() || options.positional.size() != 1) {
        return usageError(context, "show-combo",
                          options.error.empty() ? "give exactly one NAME" : options.error);
    }
    const std::string& name = options.positional[0];
    if (!fitsField(context, "show-combo", "combination name", name, store::kComboNameWidth)) {
        return kExitBadInput;
    }
    const std::string dir = dataFolder(options, context);
    if (!libraryUsable(context, "show-combo", dir)) {
        return kExitFailure;
    }
    auto match = store::FindCombo(dir, name);
    if (!match) {
        context.err << "brindle-cli show-combo: no combination named "
                    << quotedForError(context, name) << " in " << dir << store::kComboDbFile
                    << "\n";
        return kExitBadInput;
    }
    const TextStyle style = listingStyle(options, context);
    const store::ComboRecord& c = match->record;
    context.out << "Name:             " << shownText(c.Name, style) << "\n"
                << "Record:           " << match->number << "\n"
                << "Version:          " << shownText(c.Version, style) << "\n"
                << "Description:      " << shownText(base::trimTrailingBlanks(c.Description), style)
                << "\n"
                << "Node Address:     " << c.NodeAddress << "\n"
                << "Starting Macro #: " << c.StartingMacroNum << "\n"
                << "Sequence:\n";
    store::MacroRecord buffer;
    for (const auto& entry : store::sequenceEntries(dir, c, buffer)) {
        context.out << shownText(entry.line, style) << "\n";
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
    const std::string& name = options.positional[0];
    if (!fitsField(context, "add-macro", "macro name", name, store::kMacroNameWidth) ||
        !printableName(context, "add-macro", "macro name", name)) {
        return kExitBadInput;
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
    if (!libraryUsable(context, "add-macro", state.DataDir, Uses::Macros)) {
        return kExitFailure;
    }
    CommandPrompter prompter(context.err, "add-macro");
    return exitStatusFor(library::saveMacro(state, name, *text, prompter), context, "add-macro");
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
    const std::string& name = options.positional[0];
    if (base::trimBlanks(name).empty()) {
        return usageError(context, "add-combo", "a combination needs a name that is not blank");
    }
    if (!fitsField(context, "add-combo", "combination name", name, store::kComboNameWidth) ||
        !printableName(context, "add-combo", "combination name", name) ||
        !fitsField(context, "add-combo", "version", options.value("--version"), 16) ||
        !fitsField(context, "add-combo", "description", options.value("--description"), 80)) {
        return kExitBadInput;
    }
    if (options.positional.size() - 1 > store::kSequenceSlots) {
        return usageError(context, "add-combo", "a combination holds at most 256 macros");
    }
    for (std::size_t i = 1; i < options.positional.size(); ++i) {
        if (!fitsField(context, "add-combo", "macro name", options.positional[i],
                       store::kMacroNameWidth)) {
            return kExitBadInput;
        }
    }
    std::optional<long> numbers[2];
    const char* const numberOptions[2] = {"--node", "--boot"};
    for (int i = 0; i < 2; ++i) {
        const std::string text = options.value(numberOptions[i], i == 0 ? "65" : "0");
        numbers[i] = wholeNumberIn(text, kInt16Low, kInt16High);
        if (!numbers[i]) {
            return usageError(context, "add-combo",
                              std::string(numberOptions[i]) + " " + escapedForError(context, text) +
                                  " is not a whole number from -32768 to 32767");
        }
    }
    const auto& node = numbers[0];
    const auto& boot = numbers[1];
    state::MainState state;
    state.DataDir = dataFolder(options, context);
    if (!libraryUsable(context, "add-combo", state.DataDir)) {
        return kExitFailure;
    }
    store::ComboRecord record;
    record.Name = base::fixedWidth(name, store::kComboNameWidth);
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
            unknown += "\n  " + escapedForError(context, names[j]);
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
