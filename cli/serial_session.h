#pragma once
// What every command that talks to the Macro Module shares: the options
// --data, --port, --baud and --tick-ms read the same way, the serial stack of
// the window (the Qt port fixed to one device, the Qt timer as the pump,
// Timer1's tick installed) built from them, Ctrl-C that cancels, and the way
// a run that was cancelled, lost its port or found the controller deaf ends.
#include <QCoreApplication>
#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/fixed_device_port.h"
#include "cli/interrupt_watch.h"
#include "cli/terminal_receive_view.h"
#include "link/link_context.h"
#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"
#include "link/receiving_port.h"
#include "state/main_state.h"

namespace brindle::cli {

// The exit status of a run cancelled by Ctrl-C (SIGINT) or SIGTERM.
constexpr int kExitInterrupted = 130;

// The serial options every such command takes, for parseOptions.
inline const std::set<std::string> kSerialOptions = {"--data", "--port", "--baud", "--tick-ms"};
// --monitor: each line the controller sends also goes to standard error, as
// the receive window shows it with "Receive Window Active" ticked.
inline const std::set<std::string> kSerialFlags = {"--monitor"};

struct SerialSetup {
    // DataDir (absolute, with a separator) and the configuration read from
    // it, with --baud on top.
    state::MainState state;
    std::string device;
    int tickMs = 1;
    // Where --monitor prints the receive window's lines; nothing without it.
    std::ostream* monitor = nullptr;
};

// Reads the serial options; a bad value, or a stored speed no port runs at
// when --baud does not replace it, is reported as an error of command, and
// nothing comes back.
std::optional<SerialSetup> serialSetup(const ParsedOptions& options, CommandContext& context,
                                       const std::string& command);

// How a serial command's run ended, once its port is closed: the exit
// status of an abnormal end, or nothing and whether a failed port was reported.
struct SerialEnd {
    std::optional<int> status;
    bool portFailed = false;
};

// The link for one command. The device is opened by the operation itself,
// as in the window. With --monitor the run's receive view is the terminal's
// receive window, ticked, in place of the command's own (unticked) one.
class SerialSession {
  public:
    SerialSession(SerialSetup& setup, link::ReceiveView& receive, link::OperationView& operation);
    SerialSession(const SerialSession&) = delete;
    SerialSession& operator=(const SerialSession&) = delete;

    link::LinkContext& ctx() { return m_ctx; }
    link::ReceiveView& receiveView() { return m_ctx.receive; }
    // Ctrl-C, SIGTERM: the run is ending.
    const link::StopSignal& closing() const { return m_signals.Closing; }
    link::Port& port() { return m_port; }
    link::qt::QtPump& pump() { return m_pump; }

    // Ctrl-C or SIGTERM arrived during the run.
    bool interrupted() { return m_interrupt.interrupted(); }
    // The end every serial command goes through, once its operation has run.
    // A run that did not succeed is looked at for an abnormal cause: when it
    // was interrupted, "cancelled: " and what that left behind (130); when
    // the port failed, or the controller talked but never answered the
    // wake-up, that (1). Otherwise a failed port is reported. The port is
    // closed either way; afterwards the command reports its own result.
    SerialEnd finish(CommandContext& context, const std::string& command, bool succeeded,
                     const std::string& leftBehind);

  private:
    // When the port failed: its state on the error stream, and true.
    bool reportPortFailure(CommandContext& context, const std::string& command) const;
    std::optional<int> abnormalEnd(CommandContext& context, const std::string& command,
                                   const std::string& leftBehind);

    // Qt's plain Unix event loop: the GLib one, which a terminal tool does
    // not need, signals itself through an extra file for every change of the
    // port's write notifier, three system calls a frame. Set before the
    // application is made.
    static bool preferPlainEventLoop();

    int m_argc = 1;
    char m_name[12] = "brindle-cli";
    char* m_argv[2] = {m_name, nullptr};
    bool m_plainEventLoop = preferPlainEventLoop();
    QCoreApplication m_app;
    link::qt::QtSerialPort m_serial;
    FixedDevicePort m_port;
    link::qt::QtPump m_pump;
    std::optional<TerminalReceiveView> m_monitor;
    link::SharedSignals m_signals;
    // Its reads feed the receive view (the --monitor lines) as the window's do.
    link::ReceivingPort m_receiving;
    link::LinkContext m_ctx;
    // The command is one operation from start to end.
    link::OperationScope m_operation;
    InterruptWatch m_interrupt;
};

}  // namespace brindle::cli
