#include "cli/serial_session.h"

#include <filesystem>
#include <ostream>

#include <unistd.h>

#include "cli/cli_io.h"
#include "link/com_port.h"
#include "link/qt/system_ports.h"
#include "link/receive_window.h"
#include "link/serial_ports.h"
#include "link/sync_with_module.h"
#include "store/config.h"
#include "store/record_file.h"

namespace brindle::cli {

std::optional<SerialSetup> serialSetup(const ParsedOptions& options, CommandContext& context,
                                       const std::string& command) {
    SerialSetup setup;
    // Absolute, so that device paths resolved in it are too.
    const std::string dir = asFolder(
        std::filesystem::absolute(options.dataFolder(context.dataDir)).lexically_normal().string());
    auto tickMs = wholeNumber(options.value("--tick-ms", "1"));
    if (!tickMs || *tickMs < 1 || *tickMs > 1000) {
        usageError(context, command, "--tick-ms takes 1 to 1000");
        return std::nullopt;
    }
    setup.tickMs = static_cast<int>(*tickMs);
    if (options.flags.count("--monitor") > 0) {
        setup.monitor = &context.err;
    }
    setup.state.DataDir = dir;
    if (auto bytes = store::readRecord(store::configPath(dir), store::kConfigRecordLength, 1)) {
        setup.state.ConfigRecord = store::ConfigRecord::decode(*bytes);
    }
    if (options.has("--baud")) {
        auto baud = wholeNumber(options.value("--baud"));
        if (!baud || *baud < link::kLowestLineSpeed || *baud > link::kHighestLineSpeed) {
            usageError(context, command, "--baud takes a line speed such as 38400");
            return std::nullopt;
        }
        setup.state.ConfigRecord.BaudRate = static_cast<int32_t>(*baud);
    } else if (const std::string problem = link::storedSpeedProblem(
                   store::configPath(dir), setup.state.ConfigRecord.BaudRate);
               !problem.empty()) {
        context.err << "brindle-cli " << command << ": " << problem
                    << " Give one with --baud, or choose a Baud Rate on the Setup tab.\n";
        return std::nullopt;
    }
    // The window's choice of device for each Com applies here too.
    setup.state.ComChoices = link::qt::readComChoices(*link::qt::windowSettings());
    const int16_t com = setup.state.ConfigRecord.PortNumber;
    setup.device =
        options.has("--port")
            ? std::filesystem::absolute(link::portArgument(options.value("--port"))).string()
            : link::resolveComPort(dir, com, link::comChoice(setup.state.ComChoices, com));
    return setup;
}

SerialSession::SerialSession(SerialSetup& setup, link::ReceiveView& receive,
                             link::OperationView& operation)
    : m_app(m_argc, m_argv),
      m_port(m_serial, setup.device),
      m_monitor(setup.monitor ? std::optional<TerminalReceiveView>(std::in_place, *setup.monitor,
                                                                   styleForStream(STDERR_FILENO))
                              : std::nullopt),
      m_receiving(m_port, m_monitor ? *m_monitor : receive),
      m_ctx(m_receiving, m_pump, m_monitor ? *m_monitor : receive, operation, m_signals,
            m_receiving.lines()),
      m_operation(m_ctx),
      m_interrupt(m_ctx) {
    m_ctx.settings = link::LinkSettings{setup.state.ConfigRecord.PortNumber,
                                        setup.state.ConfigRecord.BaudRate, setup.device};
    m_ctx.WakeUpLimit = link::kWakeUpLimit;
    // --monitor is the receive window with its box ticked.
    m_ctx.lines.ReceiveWindowTicked = m_monitor.has_value();
    m_pump.setTickHandler([this] { link::timerTick(m_ctx, m_port); });
    m_pump.setInterval(setup.tickMs);
}

bool SerialSession::preferPlainEventLoop() {
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) {
        qputenv("QT_NO_GLIB", "1");
    }
    return true;
}

std::optional<int> SerialSession::abnormalEnd(CommandContext& context, const std::string& command,
                                              const std::string& leftBehind) {
    if (interrupted()) {
        context.err << "brindle-cli " << command << ": cancelled: " << leftBehind << "\n";
        return kExitInterrupted;
    }
    if (reportPortFailure(context, command)) {
        return kExitFailure;
    }
    if (m_ctx.WakeUpUnanswered) {
        context.err << "brindle-cli " << command
                    << ": the controller is talking but never answered the wake-up (CR CR, sent "
                    << m_ctx.WakeUpLimit << " times); nothing more was sent\n";
        return kExitFailure;
    }
    return std::nullopt;
}

SerialEnd SerialSession::finish(CommandContext& context, const std::string& command, bool succeeded,
                                const std::string& leftBehind) {
    SerialEnd end;
    if (!succeeded) {
        end.status = abnormalEnd(context, command, leftBehind);
    }
    if (!end.status) {
        end.portFailed = reportPortFailure(context, command);
    }
    m_port.setPortOpen(false);
    return end;
}

bool SerialSession::reportPortFailure(CommandContext& context, const std::string& command) const {
    if (m_port.failure().empty()) {
        return false;
    }
    context.err << "brindle-cli " << command << ": " << m_port.describe() << "\n";
    return true;
}

}  // namespace brindle::cli
