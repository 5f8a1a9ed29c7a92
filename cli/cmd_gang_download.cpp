// brindle-cli download (also --changed-only) and restore with several --port
// options: every line runs its own operation on its own thread (its own Qt event loop, port, timer
// and wake-up); this thread only draws the progress lines, waits for Ctrl-C and prints the table at
// the end.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <variant>

#include <unistd.h>

#include "base/text.h"
#include "cli/cli_io.h"
#include "cli/combination_plan.h"
#include "cli/gang_download_command.h"
#include "cli/gang_report.h"
#include "cli/interrupt_watch.h"
#include "cli/serial_session.h"
#include "contents/backup_file.h"
#include "contents/changed_download.h"
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

// The devices of the --port options, or the exit status when the list is
// refused (--monitor, or a device given twice).
std::variant<std::vector<std::string>, int> gangDevices(const Arguments& args,
                                                        const ParsedOptions& options,
                                                        CommandContext& context,
                                                        const std::string& command) {
    if (options.flags.count("--monitor") > 0) {
        return usageError(context, command, "--monitor takes a single --port");
    }
    std::vector<std::string> devices;
    std::set<std::string> seen;
    for (const std::string& port : portArguments(args)) {
        devices.push_back(std::filesystem::absolute(link::portArgument(port)).string());
        if (!seen.insert(std::filesystem::weakly_canonical(devices.back()).string()).second) {
            return usageError(context, command, "--port " + port + " is given twice");
        }
    }
    return devices;
}

// Runs operation on every line at once, draws the progress lines, prints the
// table; the exit status.
int runGang(const Arguments& args, CommandContext& context, const std::string& command,
            const SerialSetup& setup, const std::vector<std::string>& devices,
            download::DownloadPlan plan, download::GangOperation operation) {
    // The plain Unix event loop, as for a single line (see SerialSession).
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) {
        qputenv("QT_NO_GLIB", "1");
    }
    int argc = 1;
    char name[] = "brindle-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    download::GangDownload gang(
        portArguments(args), setup.state, std::move(plan),
        [&setup, &devices](std::size_t i, link::SharedSignals& shared, download::DownloadView& view,
                           link::ReceiveView& receive) {
            const link::LinkSettings settings{setup.state.ConfigRecord.PortNumber,
                                              setup.state.ConfigRecord.BaudRate, devices[i]};
            return std::make_unique<link::qt::QtLineRig>(settings, setup.tickMs, link::kWakeUpLimit,
                                                         shared, view, receive);
        },
        std::move(operation));

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
        context.err << "brindle-cli " << command
                    << ": cancelled: a port that did not finish holds an "
                       "incomplete image (location 3 is not \"X\") or its image as it was\n";
        return kExitInterrupted;
    }
    return allSucceeded ? kExitOk : kExitFailure;
}

}  // namespace

int runGangDownload(const Arguments& args, CommandContext& context) {
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert("--combo");
    std::set<std::string> flags = kSerialFlags;
    flags.insert("--changed-only");
    ParsedOptions options = parseOptions(args, valueOptions, flags);
    if (!options.error.empty() || !options.positional.empty() || !options.has("--combo")) {
        return usageError(context, "download",
                          !options.error.empty() ? options.error : "--combo NAME is required");
    }
    if (!fitsField(context, "download", "combination name", options.value("--combo"),
                   store::kComboNameWidth)) {
        return kExitBadInput;
    }
    auto devices = gangDevices(args, options, context, "download");
    if (const int* status = std::get_if<int>(&devices)) {
        return *status;
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "download");
    if (!setup) {
        return kExitBadInput;
    }
    auto planned = planNamedCombination(options, context, *setup, "download", true);
    if (const int* status = std::get_if<int>(&planned)) {
        return *status;
    }
    download::GangOperation operation;  // the whole download
    if (options.flags.count("--changed-only") > 0) {
        operation = [](link::LinkContext& ctx, state::MainState& window,
                       download::DownloadView& view, base::Prompter& prompter,
                       const download::DownloadRequest& request) {
            return contents::runChangedOnlyDownload(ctx, window, view, prompter, request).outcome;
        };
    }
    return runGang(args, context, "download", *setup, std::get<0>(devices),
                   std::get<download::DownloadPlan>(std::move(planned)), std::move(operation));
}

int runGangRestore(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, kSerialOptions, kSerialFlags);
    if (!options.error.empty() || options.positional.size() != 1) {
        return usageError(context, "restore",
                          !options.error.empty() ? options.error : "restore takes one FILE");
    }
    // A bad backup is refused before any port is opened, as for one port.
    base::Result<contents::ModuleContents> backup = contents::readBackupFile(options.positional[0]);
    if (!backup) {
        context.err << "brindle-cli restore: not a valid backup: " << backup.message()
                    << "; nothing was sent\n";
        return kExitBadInput;
    }
    auto devices = gangDevices(args, options, context, "restore");
    if (const int* status = std::get_if<int>(&devices)) {
        return *status;
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "restore");
    if (!setup) {
        return kExitBadInput;
    }
    // Every line reads the one backup; none changes it.
    auto held = std::make_shared<const contents::ModuleContents>(std::move(*backup));
    download::GangOperation operation =
        [held](link::LinkContext& ctx, state::MainState&, download::DownloadView& view,
               base::Prompter& prompter, const download::DownloadRequest&) {
            return contents::runRestore(ctx, view, prompter, *held).outcome;
        };
    return runGang(args, context, "restore", *setup, std::get<0>(devices), download::DownloadPlan{},
                   std::move(operation));
}

}  // namespace brindle::cli
