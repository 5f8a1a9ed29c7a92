// brindle-cli exec and cancel: the Execute Block and Cancel Exec buttons from
// a terminal.
#include <ostream>

#include <unistd.h>

#include "base/text.h"
#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/serial_session.h"
#include "cli/stream_prompter.h"
#include "cli/terminal_utility_view.h"
#include "store/databases.h"
#include "utilities/execute_block.h"

namespace brindle::cli {
namespace {

constexpr const char* kExecHelp =
    "Usage: brindle-cli exec --combo NAME --block N [--data DIR] [--port DEVICE]\n"
    "                        [--baud N] [--tick-ms N] [--monitor]\n"
    "\n"
    "Makes the controller run the macro at position N of the combination NAME (cut\n"
    "or filled to 16 characters), as Execute Block does with that macro's line\n"
    "chosen on the Down Load tab: a talking controller is woken first, then the\n"
    "start-block command goes to the combination's node address, up to 5 times,\n"
    "until \" B \" and the block's digit come back. N is a position the\n"
    "combination's sequence lists ('brindle-cli show-combo'). --data, --port,\n"
    "--baud, --tick-ms and --monitor are those of 'brindle-cli download'. Messages\n"
    "go to standard error.\n"
    "\n"
    "Exit status: 0 after \"Execute Command Successful\", 1 when no confirmation\n"
    "came (or a talking controller answered none of 4 wake-ups), 2 for usage or\n"
    "input errors (unknown combination, a position the combination does not list,\n"
    "a node address outside 0..255; nothing is sent), 130 when cancelled with\n"
    "Ctrl-C (or SIGTERM).\n";

constexpr const char* kCancelHelp =
    "Usage: brindle-cli cancel [--data DIR] [--port DEVICE] [--baud N] [--tick-ms N]\n"
    "                          [--monitor]\n"
    "\n"
    "Stops the macro block the controller is running, as Cancel Exec does: a\n"
    "talking controller is woken first, then block 0 is sent to node \"A\"\n"
    "(23 41 04 53 00 98 0D), up to 10 times, until \" B 0\" comes back. No\n"
    "combination is needed. --data, --port, --baud, --tick-ms and --monitor are those of\n"
    "'brindle-cli download'. Messages go to standard error.\n"
    "\n"
    "Exit status: 0 after \"Cancel Command Successful\", 1 when no confirmation\n"
    "came (or a talking controller answered none of 4 wake-ups), 2 for usage\n"
    "errors, 130 when cancelled with Ctrl-C (or SIGTERM).\n";

constexpr const char* kUnconfirmed =
    "no confirmation came; the block command may or may not have reached the controller";

int exitStatus(utilities::ExecuteOutcome outcome) {
    switch (outcome) {
        case utilities::ExecuteOutcome::Confirmed:
            return kExitOk;
        case utilities::ExecuteOutcome::NotConfirmed:
        case utilities::ExecuteOutcome::Cancelled:
        case utilities::ExecuteOutcome::Unanswered:
            return kExitFailure;
        default:
            return kExitBadInput;
    }
}

std::string positionsText(const std::vector<store::SequenceEntry>& entries) {
    std::string text;
    for (const auto& entry : entries) {
        text += (text.empty() ? "" : ", ") + std::to_string(entry.position);
    }
    return text.empty() ? "none" : text;
}

}  // namespace

int runExec(const Arguments& args, CommandContext& context) {
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert({"--combo", "--block"});
    ParsedOptions options = parseOptions(args, valueOptions, kSerialFlags);
    if (options.flags.count("--help")) {
        context.out << kExecHelp;
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty() || !options.has("--combo") ||
        !options.has("--block")) {
        return usageError(
            context, "exec",
            !options.error.empty() ? options.error : "--combo NAME and --block N are required");
    }
    const auto block = wholeNumber(options.value("--block"));
    if (!block) {
        return usageError(context, "exec", "--block takes a macro position such as 3");
    }
    // Cut to fit, a longer name would stand for another combination.
    if (!fitsField(context, "exec", "combination name", options.value("--combo"),
                   store::kComboNameWidth)) {
        return kExitBadInput;
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "exec");
    if (!setup) {
        return kExitBadInput;
    }
    state::MainState& st = setup->state;
    if (!libraryUsable(context, "exec", st.DataDir) || !libraryWhole(context, "exec", st.DataDir)) {
        return kExitFailure;
    }
    const std::string combo = base::fixedWidth(options.value("--combo"), store::kComboNameWidth);
    const auto match = store::FindCombo(st.DataDir, combo);
    if (!match) {
        context.err << "brindle-cli exec: no combination named \""
                    << base::trimTrailingBlanks(combo) << "\" in " << st.DataDir
                    << store::kComboDbFile << "\n";
        return kExitBadInput;
    }
    const auto entries = store::sequenceEntries(st.DataDir, match->record, st.MacroBuffer);
    utilities::ExecuteRequest request{combo, 1, std::nullopt, static_cast<int>(entries.size())};
    for (const auto& entry : entries) {
        if (entry.position == *block) {
            request.line = entry.line;
        }
    }
    if (!request.line) {
        context.err << "brindle-cli exec: combination \"" << base::trimTrailingBlanks(combo)
                    << "\" has no macro at position " << *block << " (it lists "
                    << positionsText(entries) << ")\n";
        return kExitBadInput;
    }

    TerminalUtilityView view(context.err, ::isatty(STDERR_FILENO) != 0);
    StreamPrompter prompter(context.err);
    SerialSession session(*setup, view, view);
    prompter.quietWhile(session.closing());
    const auto outcome =
        utilities::runExecuteBlock(session.ctx(), setup->state, view, prompter, request);
    const SerialEnd end = session.finish(
        context, "exec", outcome == utilities::ExecuteOutcome::Confirmed, kUnconfirmed);
    if (end.status) {
        return *end.status;
    }
    return end.portFailed ? kExitFailure : exitStatus(outcome);
}

int runCancel(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, kSerialOptions, kSerialFlags);
    if (options.flags.count("--help")) {
        context.out << kCancelHelp;
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty()) {
        return usageError(context, "cancel",
                          !options.error.empty() ? options.error : "cancel takes no arguments");
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "cancel");
    if (!setup) {
        return kExitBadInput;
    }
    TerminalUtilityView view(context.err, ::isatty(STDERR_FILENO) != 0);
    StreamPrompter prompter(context.err);
    SerialSession session(*setup, view, view);
    prompter.quietWhile(session.closing());
    // No combination to look up: the cancel goes to node "A" whatever it is.
    session.ctx().Synched_Up = false;
    const auto outcome =
        utilities::sendBlockCommand(session.ctx(), view, prompter, utilities::BlockCommand{});
    const SerialEnd end = session.finish(
        context, "cancel", outcome == utilities::ExecuteOutcome::Confirmed, kUnconfirmed);
    return end.status ? *end.status : exitStatus(outcome);
}

}  // namespace brindle::cli
