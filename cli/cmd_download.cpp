// brindle-cli download: the Download button from a terminal.
#include <algorithm>
#include <chrono>
#include <ctime>
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
#include "contents/changed_download.h"
#include "download/download_plan.h"
#include "download/transfer.h"
#include "state/eeprom_layout.h"
#include "store/databases.h"

namespace brindle::cli {
namespace {

constexpr const char* kHelp =
    "Usage: brindle-cli download --combo NAME [--changed-only] [--data DIR]\n"
    "                            [--port DEVICE]... [--baud N] [--tick-ms N]\n"
    "                            [--monitor]\n"
    "\n"
    "Downloads the combination NAME (cut or filled to 16 characters) from the\n"
    "databases in DIR (default: the data folder that 'brindle-cli --help' names)\n"
    "into the Macro Module on the serial device DEVICE (a path, or a name in\n"
    "/dev/serial/by-id; default: the device chosen for the configured \"Com\" port\n"
    "on the Setup tab, or without a choice DIR/comN when it exists, otherwise the\n"
    "platform's N-th port; see 'brindle-cli ports'), at N bits per second\n"
    "(default: the configured speed), with receive-timer ticks of N ms (default\n"
    "1). A port in use by another program is refused before anything is sent.\n"
    "Every byte is written and verified by reading it back.\n"
    "\n"
    "--changed-only reads the module first (two dumps that must agree, and the\n"
    "header and table entries one location at a time). When it holds a complete\n"
    "download, \"Z\" goes to location 3, then only the bytes that differ from the\n"
    "new image or are not known for certain, then \"X\"; when nothing differs,\n"
    "nothing at all is written and the run says so. A module without a complete\n"
    "download gets the whole download.\n"
    "\n"
    "--monitor also prints on standard error, as \"receive: \" and the line, each\n"
    "line the controller sends as the receive window shows it with \"Receive Window\n"
    "Active\" ticked (the module's answers included; \"<cr>\" ends each).\n"
    "\n"
    "Progress (the current macro, and the bytes written of the total, the macro\n"
    "under way and the time left) and the final message go to standard error.\n"
    "A talking controller that answers none of 4 wake-ups (CR CR) is given up.\n"
    "Ctrl-C (or SIGTERM) cancels the run as the Cancel button does: it ends at\n"
    "once and location 3 does not hold \"X\".\n"
    "\n"
    "With --port given more than once, NAME goes into the Macro Modules on all\n"
    "those devices at once, each with its own wake-up, writes and verification\n"
    "(with --changed-only, each module is read and changed on its own): one\n"
    "progress line per port, then a table of each port's result, bytes written\n"
    "(only the changed ones for a changed-only run), rewrites and time. Exit status 0 only when "
    "every port succeeded, 1 when\n"
    "any failed (the others still finish), 130 when Ctrl-C cancelled them all.\n"
    "--monitor takes a single --port.\n"
    "\n"
    "Exit status: 0 after \"Download successful\", 1 after a failure (the port's\n"
    "reason when it failed), 2 for usage or input errors (unknown combination, a\n"
    "combination that cannot be downloaded, a stored speed no port runs at;\n"
    "nothing is sent then), 130 when cancelled.\n";

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int runDownload(const Arguments& args, CommandContext& context) {
    if (portArguments(args).size() > 1 && !helpAsked(args)) {
        return runGangDownload(args, context);
    }
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert("--combo");
    std::set<std::string> flags = kSerialFlags;
    flags.insert("--changed-only");
    ParsedOptions options = parseOptions(args, valueOptions, flags);
    if (options.flags.count("--help")) {
        context.out << kHelp;
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty() || !options.has("--combo")) {
        return usageError(context, "download",
                          !options.error.empty() ? options.error : "--combo NAME is required");
    }
    // Cut to fit, a longer name would stand for another combination.
    if (!fitsField(context, "download", "combination name", options.value("--combo"),
                   store::kComboNameWidth)) {
        return kExitBadInput;
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "download");
    if (!setup) {
        return kExitBadInput;
    }
    // Known before anything is sent: an unknown name or a combination that
    // cannot be downloaded is an input error.
    auto planned = planNamedCombination(options, context, *setup, "download", true);
    if (const int* status = std::get_if<int>(&planned)) {
        return *status;
    }
    download::PlanResult plan(std::optional(std::get<download::DownloadPlan>(std::move(planned))));

    TerminalDownloadView view(context.err, ::isatty(STDERR_FILENO) != 0);
    StreamPrompter prompter(context.err);
    SerialSession session(*setup, view, view);
    prompter.quietWhile(session.closing());

    // The run opens the device itself, once, and uses the plan made above.
    const auto started = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    const bool changedOnly = options.flags.count("--changed-only") > 0;
    download::DownloadOutcome outcome = download::DownloadOutcome::Failed;
    int changedBytes = -1;
    download::DownloadRequest request{true, 1, std::move(plan)};
    if (changedOnly) {
        const contents::ChangedDownloadResult changed =
            contents::runChangedOnlyDownload(session.ctx(), setup->state, view, prompter, request);
        outcome = changed.outcome;
        if (!changed.wholeDownload) {
            changedBytes = changed.bytesWritten;
        }
    } else {
        outcome = download::runDownload(session.ctx(), setup->state, view, prompter, request);
    }
    const std::string leftBehind =
        view.bytesConfirmed() > 0
            ? "the download did not finish, and the Macro Module holds an incomplete image "
              "(location 3 is not \"X\")"
            : "the download stopped before its first byte was confirmed; the Macro "
              "Module's image is as it was, or marked incomplete";
    const SerialEnd end = session.finish(
        context, "download", outcome == download::DownloadOutcome::Succeeded, leftBehind);
    if (end.status) {
        return *end.status;
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (changedBytes >= 0) {
        context.err << "brindle-cli download: changed only: " << changedBytes << " bytes written\n";
    }
    context.err << "brindle-cli download: " << wall << " s, " << (cpuSeconds() - cpuStart)
                << " s CPU, " << view.rewrites() << " rewrites, ticks of "
                << session.pump().effectiveIntervalMicros() << " us\n";
    switch (outcome) {
        case download::DownloadOutcome::Succeeded:
            return end.portFailed ? kExitFailure : kExitOk;
        case download::DownloadOutcome::NoSelection:
        case download::DownloadOutcome::Refused:
        case download::DownloadOutcome::NotFound:
            return kExitBadInput;
        default:
            return kExitFailure;
    }
}

}  // namespace brindle::cli
