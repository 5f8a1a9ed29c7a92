#pragma once
// Everything one controller operation on one line works on. The context owns
// what the operation changes (its tick count, CancelFlag, the sync and
// wake-up state, the line's settings) and shares nothing mutable with an
// operation on another line; what the whole program shares is reached
// through SharedSignals, which the receive window's switch sets and every
// operation switches off during its run and on again afterwards while this
// line's box is ticked (ReceivedLines::ReceiveWindowTicked).
#include <atomic>
#include <cstdint>
#include <string>

#include "link/port.h"
#include "link/pump.h"
#include "link/views.h"

namespace brindle::link {

// The request to end the program (the window closing, Ctrl-C). Counted, so
// that a step that goes on through one request can still be stopped by the
// next.
class StopSignal {
  public:
    void request() { m_requests.fetch_add(1, std::memory_order_relaxed); }
    bool requested() const { return requests() > 0; }
    int requests() const { return m_requests.load(std::memory_order_relaxed); }

  private:
    std::atomic<int> m_requests{0};
};

// What every operation of the program shares with the window.
struct SharedSignals {
    // The window is closing (or the command line was interrupted): every
    // operation ends at once, whatever its own steps do with CancelFlag.
    StopSignal Closing;
    // "Receive Window Active": the receive timer shows what arrives between
    // operations.
    std::atomic<bool> ReceiveWindowActive{false};
};

// Which line an operation talks on, and how fast.
struct LinkSettings {
    int16_t port = 1;  // Com1 to Com4
    int32_t baud = 38400;
    // The device the Com stands for (see resolveComPort).
    std::string device;
};

// The receive window of one line: the bytes received that do not yet make a
// whole line, and whether its box ("Receive Window Active") is ticked.
struct ReceivedLines {
    std::string ReceiveBuffer;
    // The last line shown from ReceiveBuffer ended with its last character:
    // an LF that comes next belongs to its CR and is dropped.
    bool ReceiveSkipNext = false;
    // The box's state, set by whoever owns the box (the window when it
    // changes and when the line is attached, brindle-cli's --monitor); the
    // operations and the line rules read it here, never from a view. Lines
    // without a receive window (the gang's) leave it false.
    bool ReceiveWindowTicked = false;
};

struct LinkContext {
    LinkContext(Port& port_, Pump& pump_, ReceiveView& receive_, OperationView& operation_,
                SharedSignals& shared_, ReceivedLines& lines_)
        : port(port_),
          pump(pump_),
          receive(receive_),
          operation(operation_),
          shared(shared_),
          lines(lines_) {}
    LinkContext(const LinkContext&) = delete;
    LinkContext& operator=(const LinkContext&) = delete;

    Port& port;
    Pump& pump;
    ReceiveView& receive;
    OperationView& operation;
    SharedSignals& shared;
    // The receive window's text of this line and its box's state (kept by
    // its ReceivingPort).
    ReceivedLines& lines;

    LinkSettings settings;
    int16_t RetryLimit = 40;
    int16_t WriteSettleTicks = 1;
    int16_t ReadSettleTicks = 1;
    // How many times a talking controller is sent the wake-up before the
    // operation gives up on it; 0: as long as it takes (the window, which has
    // Cancel for that).
    int16_t WakeUpLimit = 0;

    // Advanced by the receive timer's tick.
    int16_t TickCount = 0;
    bool CancelFlag = false;
    // The port has been opened once: later operations reopen it.
    bool StartComm = false;
    bool Synched_Up = false;
    // The controller talked but answered none of the counted wake-ups: the
    // operation ends at once, without sending anything more.
    bool WakeUpUnanswered = false;
    // Cancel (or Esc, or closing) came during the quiet probe, the wake-up or
    // the synchronisation: the operation ends before it writes anything.
    bool WakeUpCancelled = false;
    // An operation runs on this line and reads the port itself: the receive
    // timer leaves the port alone, and the operation's reads feed the receive
    // window instead.
    bool OperationRunning = false;
    // Requests to end that this operation has been told to go on through
    // (see StopSignal); normally none.
    int closingAccepted = 0;
};

}  // namespace brindle::link
