// brindle-cli verify, backup and restore: what the Macro Module holds,
// compared with a combination, saved to a file, written back from one.
#include <ostream>
#include <variant>

#include <unistd.h>

#include "base/text.h"
#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/combination_plan.h"
#include "cli/commands.h"
#include "cli/gang_download_command.h"
#include "cli/gang_report.h"
#include "cli/serial_session.h"
#include "cli/stream_prompter.h"
#include "cli/terminal_download_view.h"
#include "cli/terminal_utility_view.h"
#include "contents/contents.h"
#include "state/eeprom_layout.h"
#include "store/databases.h"

namespace brindle::cli {
namespace {

constexpr const char* kVerifyHelp =
    "Usage: brindle-cli verify --combo NAME [--data DIR] [--port DEVICE]\n"
    "                          [--baud N] [--tick-ms N] [--monitor]\n"
    "\n"
    "Compares what the Macro Module holds with what a download of the combination\n"
    "NAME would write: its header, the table entries of its macros and their\n"
    "images. Nothing is written. The macro area is read with two dumps and a byte\n"
    "counts as known only where both agree; the header and the tables are read one\n"
    "location at a time. A byte not known for certain counts as differing.\n"
    "On standard output: one line per macro that differs (its name, its position,\n"
    "how many locations differ and the first of them) and one per header field.\n"
    "--data, --port, --baud, --tick-ms and --monitor are those of 'brindle-cli\n"
    "download'.\n"
    "\n"
    "Exit status: 0 when every location is equal, 1 when any differs, when the\n"
    "module holds no complete download (location 3 is not \"X\"), location 3 cannot\n"
    "be read for certain or the port fails,\n"
    "2 for usage or input errors (unknown combination), 130 when cancelled.\n";

constexpr const char* kBackupHelp =
    "Usage: brindle-cli backup --out FILE [--data DIR] [--port DEVICE]\n"
    "                          [--baud N] [--tick-ms N] [--monitor]\n"
    "\n"
    "Saves what the Macro Module holds: the header (locations 0 to 3), the start\n"
    "table, the names of the macros it points to, and the macro area up to its\n"
    "end. FILE ending in \".hex\" gets Intel HEX with records for the known\n"
    "locations only; any other name a raw image of 32768 bytes with 0xFF where\n"
    "nothing is known. The macro area is read with two dumps and a byte is known\n"
    "only where both agree. FILE is replaced as a whole, or not at all.\n"
    "--data, --port, --baud, --tick-ms and --monitor are those of 'brindle-cli\n"
    "download'.\n"
    "\n"
    "Exit status: 0 after the file was written, 1 when the module holds no\n"
    "complete download (location 3 is not \"X\"), the file cannot be written or the\n"
    "port fails, 2 for usage errors, 130 when cancelled (no file is written).\n";

constexpr const char* kRestoreHelp =
    "Usage: brindle-cli restore FILE [--data DIR] [--port DEVICE]... [--baud N]\n"
    "                           [--tick-ms N] [--monitor]\n"
    "\n"
    "Writes a backup made by 'brindle-cli backup' back into the Macro Module:\n"
    "\"Z\" to location 3 first, then every location the backup knows (a raw image:\n"
    "every byte that is not 0xFF), then \"X\", each byte written and verified by\n"
    "reading it back, as a download does. Ctrl-C cancels as in a download.\n"
    "--data, --port, --baud, --tick-ms and --monitor are those of 'brindle-cli\n"
    "download'.\n"
    "\n"
    "With --port given more than once, FILE goes into the Macro Modules on all\n"
    "those devices at once, as a download with several --port does: one progress\n"
    "line per port, then a table of each port's result, bytes, rewrites and\n"
    "time. Exit status 0 only when every port succeeded, 1 when any failed (the\n"
    "others still finish), 130 when Ctrl-C cancelled them all. --monitor takes a\n"
    "single --port.\n"
    "\n"
    "Exit status: 0 after \"Restore successful\", 1 after a failure (location 3 is\n"
    "then not \"X\"), 2 for usage errors and for a FILE that is not a valid backup\n"
    "(nothing is sent then), 130 when cancelled.\n";

// The end of a command that reads the module: Ctrl-C, a failed port, a deaf
// controller, a module without a complete download. The exit status, or
// nothing when the reading is whole. The port is closed afterwards.
std::optional<int> endOfRead(SerialSession& session, CommandContext& context,
                             const std::string& command, contents::ReadingEnd end,
                             const contents::ModuleContents& held) {
    const SerialEnd serial =
        session.finish(context, command, end == contents::ReadingEnd::Read, "nothing was written");
    if (serial.status) {
        return serial.status;
    }
    if (end == contents::ReadingEnd::Cancelled || serial.portFailed) {
        context.err << "brindle-cli " << command << ": the Macro Module could not be read\n";
        return kExitFailure;
    }
    if (end == contents::ReadingEnd::Incomplete) {
        if (held.known(state::kImageStateLocation)) {
            context.err << "brindle-cli " << command
                        << ": the Macro Module holds no complete download (location 3 is not "
                           "\"X\")\n";
        } else {
            context.err << "brindle-cli " << command
                        << ": location 3 of the Macro Module could not be read for certain\n";
        }
        return kExitFailure;
    }
    return std::nullopt;
}

// False when only help was asked for (and printed).
bool serialUsage(const ParsedOptions& options, CommandContext& context, const char* help) {
    if (options.flags.count("--help")) {
        context.out << help;
        return false;
    }
    return true;
}

}  // namespace

int runVerify(const Arguments& args, CommandContext& context) {
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert("--combo");
    ParsedOptions options = parseOptions(args, valueOptions, kSerialFlags);
    if (!serialUsage(options, context, kVerifyHelp)) {
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty() || !options.has("--combo")) {
        return usageError(context, "verify",
                          !options.error.empty() ? options.error : "--combo NAME is required");
    }
    if (!fitsField(context, "verify", "combination name", options.value("--combo"),
                   store::kComboNameWidth)) {
        return kExitBadInput;
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "verify");
    if (!setup) {
        return kExitBadInput;
    }
    auto planned = planNamedCombination(options, context, *setup, "verify", false);
    if (const int* status = std::get_if<int>(&planned)) {
        return *status;
    }
    const download::DownloadPlan& plan = std::get<download::DownloadPlan>(planned);
    const std::string combo = base::fixedWidth(options.value("--combo"), store::kComboNameWidth);

    TerminalUtilityView view(context.err, ::isatty(STDERR_FILENO) != 0);
    SerialSession session(*setup, view, view);
    contents::ModuleContents held;
    const contents::ReadingEnd end = contents::readForPlan(session.ctx(), plan, held);
    if (auto status = endOfRead(session, context, "verify", end, held)) {
        return *status;
    }
    const contents::ChangePlan changes = contents::planChanges(plan, held, state::kMacroArea);
    const std::string name = base::trimTrailingBlanks(combo);
    if (changes.nothingDiffers()) {
        context.out << "The Macro Module holds combination \"" << name << "\" exactly.\n";
        return kExitOk;
    }
    context.out << "The Macro Module differs from combination \"" << name << "\" in "
                << changes.writes.size()
                << (changes.writes.size() == 1 ? " location" : " locations") << ":\n";
    for (const contents::MacroDifference& d : changes.macros) {
        context.out << "  " << escapedForError(context, contents::describe(d)) << "\n";
    }
    for (const contents::HeaderDifference& d : changes.header) {
        context.out << "  " << contents::describe(d) << "\n";
    }
    return kExitFailure;
}

int runBackup(const Arguments& args, CommandContext& context) {
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert("--out");
    ParsedOptions options = parseOptions(args, valueOptions, kSerialFlags);
    if (!serialUsage(options, context, kBackupHelp)) {
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty() || !options.has("--out") ||
        options.value("--out").empty()) {
        return usageError(context, "backup",
                          !options.error.empty() ? options.error : "--out FILE is required");
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "backup");
    if (!setup) {
        return kExitBadInput;
    }
    TerminalUtilityView view(context.err, ::isatty(STDERR_FILENO) != 0);
    SerialSession session(*setup, view, view);
    contents::ModuleContents held;
    const contents::ReadingEnd end = contents::readForBackup(session.ctx(), held);
    if (auto status = endOfRead(session, context, "backup", end, held)) {
        return *status;
    }
    const std::string path = options.value("--out");
    const base::Status written = contents::writeBackupFile(path, held);
    if (!written) {
        context.err << "brindle-cli backup: " << written.message() << "\n";
        return kExitCannotWrite;
    }
    int unknown = 0;
    for (int location = state::kMacroArea; location < held.knownEnd(); ++location) {
        unknown += held.known(location) ? 0 : 1;
    }
    context.err << "brindle-cli backup: " << held.knownCount() << " locations written to " << path
                << " (" << contents::slotsInUse(held).size() << " macros";
    if (unknown > 0) {
        context.err << "; " << unknown << " macro-area bytes not known for certain";
    }
    context.err << ")\n";
    return kExitOk;
}

int runRestore(const Arguments& args, CommandContext& context) {
    if (portArguments(args).size() > 1 && !helpAsked(args)) {
        return runGangRestore(args, context);
    }
    ParsedOptions options = parseOptions(args, kSerialOptions, kSerialFlags);
    if (!serialUsage(options, context, kRestoreHelp)) {
        return kExitOk;
    }
    if (!options.error.empty() || options.positional.size() != 1) {
        return usageError(context, "restore",
                          !options.error.empty() ? options.error : "restore takes one FILE");
    }
    const base::Result<contents::ModuleContents> backup =
        contents::readBackupFile(options.positional[0]);
    if (!backup) {
        context.err << "brindle-cli restore: not a valid backup: " << backup.message()
                    << "; nothing was sent\n";
        return kExitBadInput;
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "restore");
    if (!setup) {
        return kExitBadInput;
    }
    TerminalDownloadView view(context.err, ::isatty(STDERR_FILENO) != 0);
    StreamPrompter prompter(context.err);
    SerialSession session(*setup, view, view);
    prompter.quietWhile(session.closing());
    const contents::RestoreResult result =
        contents::runRestore(session.ctx(), view, prompter, *backup);
    const bool succeeded = result.outcome == download::DownloadOutcome::Succeeded;
    const std::string leftBehind =
        result.bytesWritten > 0
            ? "the restore did not finish, and the Macro Module holds an incomplete image "
              "(location 3 is not \"X\")"
            : "the restore stopped before its first byte was confirmed";
    const SerialEnd end = session.finish(context, "restore", succeeded, leftBehind);
    if (end.status) {
        return *end.status;
    }
    context.err << "brindle-cli restore: " << result.bytesWritten << " bytes written\n";
    return succeeded && !end.portFailed ? kExitOk : kExitFailure;
}

}  // namespace brindle::cli
