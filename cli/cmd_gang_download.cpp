// brindle-cli download with several --port options: every line runs its own
// download on its own thread (its own Qt event loop, port, timer and
// wake-up); this thread only draws the progress lines, waits for Ctrl-C and
// prints the table at the end.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <set>
#include <variant>

#include <unistd.h>

#include "base/text.h"
#include "cli/cli_io.h"
#include "cli/gang_download_command.h"
#include "cli/gang_report.h"
#include "cli/interrupt_watch.h"
#include "cli/serial_session.h"
#include "download/download_plan.h"
#include "download/gang_download.h"
#include "link/qt/qt_line_rig.h"
#include "link/serial_ports.h"
#include "link/sync_with_module.h"
#include "state/eeprom_layout.h"
#include "store/databases.h"

namespace brindle::cli {
namespace {

// Progress is drawn at most this often; the lines change with every byte.
constexpr int kDrawEveryMs = 100;

// The combination's plan, or the exit status when it cannot be made.
std::variant<download::DownloadPlan, int> planFor(const ParsedOptions& options,
                                                  CommandContext& context,
                                                  const SerialSetup& setup) {
    const std::string& dir = setup.state.DataDir;
    if (!libraryUsable(context, "download", dir) || !libraryWhole(context, "download", dir)) {
        return kExitFailure;
    }
    const std::string combo = base::fixedWidth(options.value("--combo"), store::kComboNameWidth);
    download::PlanResult plan = download::planDownload(dir, combo, state::kMacroArea);
    if (!plan) {
        context.err << "brindle-cli download: " << plan.message() << "\n";
        return kExitBadInput;
    }
    if (!*plan) {
        context.err << "brindle-cli download: no combination named \""
                    << base::trimTrailingBlanks(combo) << "\" in " << dir << store::kComboDbFile
                    << "\n";
        return kExitBadInput;
    }
    for (const download::PlannedMacro& macro : (*plan)->macros) {
        for (const std::string& note : macro.notes) {
            context.err << "brindle-cli download: note: macro \""
                        << escapedForError(context, base::trimTrailingBlanks(macro.record.Name))
                        << "\": " << escapedForError(context, note) << "\n";
        }
    }
    return **plan;
}

}  // namespace

int runGangDownload(const Arguments& args, CommandContext& context) {
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert("--combo");
    ParsedOptions options = parseOptions(args, valueOptions, kSerialFlags);
    if (!options.error.empty() || !options.positional.empty() || !options.has("--combo")) {
        return usageError(context, "download",
                          !options.error.empty() ? options.error : "--combo NAME is required");
    }
    if (options.flags.count("--monitor") > 0) {
        return usageError(context, "download", "--monitor takes a single --port");
    }
    if (!fitsField(context, "download", "combination name", options.value("--combo"),
                   store::kComboNameWidth)) {
        return kExitBadInput;
    }
    std::vector<std::string> devices;
    std::set<std::string> seen;
    for (const std::string& port : portArguments(args)) {
        devices.push_back(std::filesystem::absolute(link::portArgument(port)).string());
        if (!seen.insert(std::filesystem::weakly_canonical(devices.back()).string()).second) {
            return usageError(context, "download", "--port " + port + " is given twice");
        }
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "download");
    if (!setup) {
        return kExitBadInput;
    }
    auto planned = planFor(options, context, *setup);
    if (const int* status = std::get_if<int>(&planned)) {
        return *status;
    }

    // The plain Unix event loop, as for a single line (see SerialSession).
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) {
        qputenv("QT_NO_GLIB", "1");
    }
    int argc = 1;
    char name[] = "brindle-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    std::vector<std::string> names;
    for (const std::string& port : portArguments(args)) {
        names.push_back(port);
    }
    const SerialSetup& lineSetup = *setup;
    download::GangDownload gang(
        names, setup->state, std::get<download::DownloadPlan>(planned),
        [&lineSetup, &devices](std::size_t i, link::SharedSignals& shared,
                               download::DownloadView& view, link::ReceiveView& receive) {
            const link::LinkSettings settings{lineSetup.state.ConfigRecord.PortNumber,
                                              lineSetup.state.ConfigRecord.BaudRate, devices[i]};
            return std::make_unique<link::qt::QtLineRig>(settings, lineSetup.tickMs,
                                                         link::kWakeUpLimit, shared, view, receive);
        });

    GangProgressLines lines(context.err, ::isatty(STDERR_FILENO) != 0);
    QEventLoop loop;
    QObject receiver;
    QTimer later;
    later.setSingleShot(true);
    QElapsedTimer sinceDrawn;
    auto draw = [&] {
        if (gang.finished()) {
            lines.show(gang.takeProgress());
            loop.quit();
            return;
        }
        if (later.isActive()) {
            return;
        }
        if (sinceDrawn.isValid() && sinceDrawn.elapsed() < kDrawEveryMs) {
            later.start(static_cast<int>(kDrawEveryMs - sinceDrawn.elapsed()));
            return;
        }
        sinceDrawn.start();
        lines.show(gang.takeProgress());
    };
    QObject::connect(&later, &QTimer::timeout, &receiver, [&] {
        sinceDrawn.invalidate();
        draw();
    });
    InterruptWatch interrupt([&gang] { gang.cancelAll(); });

    gang.start(
        [&receiver, &draw] { QMetaObject::invokeMethod(&receiver, draw, Qt::QueuedConnection); });
    loop.exec();
    const std::vector<download::GangLineResult> results = gang.wait();

    context.err << gangResultTable(results);
    const bool allSucceeded =
        std::all_of(results.begin(), results.end(), [](const auto& r) { return r.succeeded; });
    if (interrupt.interrupted()) {
        context.err << "brindle-cli download: cancelled: a port that did not finish holds an "
                       "incomplete image (location 3 is not \"X\") or its image as it was\n";
        return kExitInterrupted;
    }
    return allSucceeded ? kExitOk : kExitFailure;
}

}  // namespace brindle::cli
