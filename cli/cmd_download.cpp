// brindle-cli download: the Download button from a terminal.
#include <chrono>
#include <ctime>
#include <filesystem>
#include <ostream>

#include <unistd.h>
#include <QCoreApplication>

#include "base/text.h"
#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/fixed_device_port.h"
#include "cli/stream_prompter.h"
#include "cli/terminal_download_view.h"
#include "download/download_plan.h"
#include "download/transfer.h"
#include "link/com_port.h"
#include "link/initialize_port.h"
#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"
#include "link/receive_window.h"
#include "store/config.h"
#include "store/databases.h"
#include "store/record_file.h"

namespace brindle::cli {
namespace {

constexpr const char* kHelp =
    "Usage: brindle-cli download --combo NAME [--data DIR] [--port DEVICE]\n"
    "                            [--baud N] [--tick-ms N]\n"
    "\n"
    "Downloads the combination NAME (cut or filled to 16 characters) from the\n"
    "databases in DIR (default: the program's folder) into the Macro Module on\n"
    "the serial device DEVICE (default: the configured \"Com\" port of DIR: DIR/comN\n"
    "when it exists, otherwise the platform's N-th port), at N bits per second\n"
    "(default: the configured speed), with receive-timer ticks of N ms (default 1).\n"
    "Every byte is written and verified by reading it back.\n"
    "\n"
    "Progress (the current macro, and the bytes written of the total, the macro\n"
    "under way and the time left) and the final message go to standard error.\n"
    "Exit status: 0 after \"Download successful\", 1 after a failure, 2 for usage\n"
    "or input errors (unknown combination, a combination that cannot be\n"
    "downloaded; nothing is sent then).\n";

constexpr int kExitFailure = 1;

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int runDownload(const Arguments& args, CommandContext& context) {
    ParsedOptions options =
        parseOptions(args, {"--data", "--port", "--combo", "--baud", "--tick-ms"});
    if (options.flags.count("--help")) {
        context.out << kHelp;
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty() || !options.has("--combo")) {
        return usageError(context, "download",
                          !options.error.empty() ? options.error : "--combo NAME is required");
    }
    // Absolute, so that device paths resolved in it are too.
    const std::string dir =
        asFolder(std::filesystem::absolute(options.dataFolder(context.dataDir)).string());
    const std::string combo = base::fixedWidth(options.value("--combo"), store::kComboNameWidth);
    auto tickMs = wholeNumber(options.value("--tick-ms", "1"));
    if (!tickMs || *tickMs < 1 || *tickMs > 1000) {
        return usageError(context, "download", "--tick-ms takes 1 to 1000");
    }

    state::MainState state;
    state.DataDir = dir;
    if (auto bytes = store::readRecord(store::configPath(dir), store::kConfigRecordLength, 1)) {
        state.ConfigRecord = store::ConfigRecord::decode(*bytes);
    }
    if (options.has("--baud")) {
        auto baud = wholeNumber(options.value("--baud"));
        if (!baud || *baud < 50 || *baud > 4000000) {
            return usageError(context, "download", "--baud takes a line speed such as 38400");
        }
        state.ConfigRecord.BaudRate = static_cast<int32_t>(*baud);
    }

    // Known before anything is sent: an unknown name or a combination that
    // cannot be downloaded is an input error.
    download::PlanResult plan = download::planDownload(dir, combo, state.MacroArea);
    if (!plan.found) {
        context.err << "brindle-cli download: no combination named \""
                    << base::trimTrailingBlanks(combo) << "\" in " << dir << store::kComboDbFile
                    << "\n";
        return kExitBadInput;
    }
    if (!plan.plan) {
        context.err << "brindle-cli download: " << plan.refusal << "\n";
        return kExitBadInput;
    }

    int argc = 1;
    char name[] = "brindle-cli";
    char* argv[] = {name, nullptr};
    // Qt's plain Unix event loop: the GLib one, which a terminal tool does
    // not need, signals itself through an extra file for every change of the
    // port's write notifier, three system calls a frame.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) {
        qputenv("QT_NO_GLIB", "1");
    }
    QCoreApplication app(argc, argv);
    link::qt::QtSerialPort serial;
    const std::string device = options.has("--port")
                                   ? std::filesystem::absolute(options.value("--port")).string()
                                   : link::resolveComPort(dir, state.ConfigRecord.PortNumber);
    FixedDevicePort port(serial, device);
    link::qt::QtPump pump;
    TerminalDownloadView view(context.err, ::isatty(STDERR_FILENO) != 0, combo);
    StreamPrompter prompter(context.err);
    link::LinkContext ctx{state, port, pump, view, view};
    pump.SetTickHandler([&] { link::timerTick(state, port, view); });
    pump.SetInterval(static_cast<int>(*tickMs));

    // The run opens the device itself, once, and uses the plan made above.
    const auto started = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    download::DownloadOutcome outcome = download::runDownload(ctx, view, prompter, plan);
    if (!port.failure().empty()) {
        context.err << "brindle-cli download: " << port.describe() << "\n";
        return kExitFailure;
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    context.err << "brindle-cli download: " << wall << " s, " << (cpuSeconds() - cpuStart)
                << " s CPU, " << view.rewrites() << " rewrites, ticks of "
                << pump.EffectiveIntervalMicros() << " us\n";
    port.SetPortOpen(false);
    switch (outcome) {
        case download::DownloadOutcome::Succeeded:
            return kExitOk;
        case download::DownloadOutcome::NoSelection:
        case download::DownloadOutcome::Refused:
        case download::DownloadOutcome::NotFound:
            return kExitBadInput;
        default:
            return kExitFailure;
    }
}

}  // namespace brindle::cli
