// brindle-cli clear: the clear utility's Ok button from a terminal.
#include <ostream>

#include <unistd.h>

#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/serial_session.h"
#include "cli/stream_prompter.h"
#include "cli/terminal_utility_view.h"
#include "state/eeprom_layout.h"
#include "utilities/clear_eprom.h"

namespace brindle::cli {
namespace {

constexpr const char* kHelp =
    "Usage: brindle-cli clear --from A --to B [--data DIR] [--port DEVICE] [--baud N]\n"
    "                         [--tick-ms N] [--monitor]\n"
    "\n"
    "Writes 0 into E2PROM locations A to B (0 <= A < B <= 32767), one at a time,\n"
    "each read back until the module answers 0, as the Down Load tab's clear\n"
    "utility does; a location not verified after 40 attempts ends the run.\n"
    "--data, --port, --baud, --tick-ms and --monitor are those of 'brindle-cli\n"
    "download'.\n"
    "Progress and the final message go to standard error.\n"
    "\n"
    "Exit status: 0 after \"Clear Program Process Successful! \", 1 after\n"
    "\"Clear Program Process Unsuccessful \", 2 for usage or input errors (a range\n"
    "outside 0..32767 or A not below B; nothing is sent), 130 when cancelled with\n"
    "Ctrl-C (or SIGTERM).\n";

}  // namespace

int runClear(const Arguments& args, CommandContext& context) {
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert({"--from", "--to"});
    ParsedOptions options = parseOptions(args, valueOptions, kSerialFlags);
    if (options.flags.count("--help")) {
        context.out << kHelp;
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty() || !options.has("--from") ||
        !options.has("--to")) {
        return usageError(
            context, "clear",
            !options.error.empty() ? options.error : "--from A and --to B are required");
    }
    const auto from = wholeNumber(options.value("--from"));
    const auto to = wholeNumber(options.value("--to"));
    if (!from || !to || *from < 0 || *to > state::kLastLocation) {
        return usageError(context, "clear", "locations are whole numbers from 0 to 32767");
    }
    if (*from >= *to) {
        return usageError(context, "clear", "--from must be below --to");
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "clear");
    if (!setup) {
        return kExitBadInput;
    }
    TerminalUtilityView view(context.err, ::isatty(STDERR_FILENO) != 0);
    StreamPrompter prompter(context.err);
    SerialSession session(*setup, view, view);
    prompter.quietWhile(session.closing());
    const auto outcome = utilities::runClearUtility(session.ctx(), setup->state, view, prompter,
                                                    std::to_string(*from), std::to_string(*to));
    const std::string leftBehind = "the clear did not finish; locations " + std::to_string(*from) +
                                   " to " + std::to_string(*to) + " may be cleared in part";
    const SerialEnd end =
        session.finish(context, "clear", outcome != utilities::ClearOutcome::Failed, leftBehind);
    if (end.status) {
        return *end.status;
    }
    switch (outcome) {
        case utilities::ClearOutcome::Succeeded:
            return kExitOk;
        case utilities::ClearOutcome::Failed:
            return kExitFailure;
        default:
            return kExitBadInput;
    }
}

}  // namespace brindle::cli
