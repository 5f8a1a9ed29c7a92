// brindle-cli monitor: a serial monitor that prints what the controller sends
// and sends nothing.
#include <cstdio>
#include <ostream>

#include <unistd.h>

#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/serial_session.h"
#include "cli/shown_text.h"
#include "cli/terminal_utility_view.h"
#include "link/initialize_port.h"

namespace brindle::cli {
namespace {

constexpr const char* kHelp =
    "Usage: brindle-cli monitor --port DEVICE [--baud N] [--hex] [--timestamps]\n"
    "                           [--data DIR] [--tick-ms N]\n"
    "\n"
    "Opens the serial device DEVICE at N bits per second (default: the configured\n"
    "speed of DIR) and prints on standard output every line the controller sends,\n"
    "until Ctrl-C (or SIGTERM). Nothing is sent. A line ends at CR, LF or CR LF; a\n"
    "line that has not ended after 0.2 s without a byte is printed as it is.\n"
    "On a terminal control bytes show as \\xHH; into a pipe or a file the bytes go\n"
    "as they are, CR and LF inside a line written \\r and \\n.\n"
    "\n"
    "  --hex          each byte of a line as two hexadecimal digits, its line end\n"
    "                 included (23 4D 03 58 A8 0D)\n"
    "  --timestamps   each line begins with the time it ended, in milliseconds\n"
    "                 since the monitor started, in brackets ([1234 ms])\n"
    "\n"
    "Exit status: 0 when ended by Ctrl-C or SIGTERM, 1 when the device cannot be\n"
    "opened or fails (its reason on standard error), 2 for usage errors.\n";

// A line is printed after this long without a byte even when it has not ended.
constexpr int64_t kPartialLineMicros = 200'000;

std::string hexText(const std::string& bytes) {
    std::string out;
    char digits[4];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", c);
        out += (out.empty() ? "" : " ") + std::string(digits);
    }
    return out;
}

// Cuts the received bytes into lines and prints them.
class LinePrinter {
  public:
    LinePrinter(std::ostream& out, bool hex, bool timestamps, int64_t startMicros)
        : m_out(out),
          m_hex(hex),
          m_timestamps(timestamps),
          m_start(startMicros),
          m_style(styleForStream(STDOUT_FILENO)) {}

    void received(const std::string& bytes, int64_t nowMicros) {
        for (char c : bytes) {
            if (m_afterCr) {
                // A CR ended the line: an LF right after it belongs to it.
                m_afterCr = false;
                if (c == '\n') {
                    print("\r\n", m_endMicros);
                    continue;
                }
                print("\r", m_endMicros);
            }
            if (c == '\r') {
                m_afterCr = true;
                m_endMicros = nowMicros;
            } else if (c == '\n') {
                print("\n", nowMicros);
            } else {
                m_line += c;
            }
        }
        m_lastByte = nowMicros;
    }
    // A line still open after a pause, or at the end.
    void flush(int64_t nowMicros, bool force) {
        if (!force && nowMicros - m_lastByte < kPartialLineMicros) {
            return;
        }
        if (m_afterCr) {
            m_afterCr = false;
            print("\r", m_endMicros);
        } else if (!m_line.empty()) {
            print("", nowMicros);
        }
    }

  private:
    void print(const std::string& end, int64_t endMicros) {
        if (m_timestamps) {
            m_out << '[' << (endMicros - m_start) / 1000 << " ms] ";
        }
        m_out << (m_hex ? hexText(m_line + end) : shownText(m_line, m_style)) << '\n';
        m_out.flush();
        m_line.clear();
    }

    std::ostream& m_out;
    bool m_hex;
    bool m_timestamps;
    int64_t m_start;
    TextStyle m_style;
    std::string m_line;
    bool m_afterCr = false;
    int64_t m_endMicros = 0;
    int64_t m_lastByte = 0;
};

}  // namespace

int runMonitor(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, kSerialOptions, {"--hex", "--timestamps"});
    if (options.flags.count("--help")) {
        context.out << kHelp;
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty() || !options.has("--port")) {
        return usageError(context, "monitor",
                          !options.error.empty() ? options.error : "--port DEVICE is required");
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "monitor");
    if (!setup) {
        return kExitBadInput;
    }
    TerminalUtilityView view(context.err, false);
    SerialSession session(*setup, view, view);
    link::Port& port = session.port();
    session.ctx().StartComm = true;
    link::InitializePort(session.ctx());
    // Ctrl-C is the monitor's normal end: only a failed port is an abnormal one.
    if (!port.failure().empty()) {
        session.finish(context, "monitor", true, {});
        return kExitFailure;
    }
    link::qt::QtPump& pump = session.pump();
    LinePrinter printer(context.out, options.flags.count("--hex") > 0,
                        options.flags.count("--timestamps") > 0, pump.nowMicros());
    const int waitTicks =
        static_cast<int>(kPartialLineMicros / std::max(pump.effectiveIntervalMicros(), 1)) + 1;
    port.InputLen(0);
    while (!session.interrupted() && port.failure().empty()) {
        pump.waitForEventOrTicks(waitTicks);
        while (port.InBufferCount() > 0) {
            printer.received(port.Input(), pump.nowMicros());
        }
        printer.flush(pump.nowMicros(), false);
    }
    printer.flush(pump.nowMicros(), true);
    return session.finish(context, "monitor", true, {}).portFailed ? kExitFailure : kExitOk;
}

}  // namespace brindle::cli
