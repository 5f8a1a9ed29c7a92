#include "link/receive_window.h"

#include "link/initialize_port.h"

namespace brindle::link {

namespace {

constexpr const char* kLineMark = "<cr>";

// A line of 0 to 2 characters before the CR is dropped unseen. When that CR
// is the last character, only what stands before it goes: the CR waits for
// the next arrival.
void dropShortLine(std::string& buffer, std::size_t crIndex) {
    if (crIndex + 1 == buffer.size()) {
        buffer.erase(0, crIndex);
    } else {
        buffer.erase(0, crIndex + 1);
    }
}

void drainIntoReceiveWindow(state::MainState& state, Port& port, ReceiveView& view) {
    port.InputLen(0);
    while (port.InBufferCount() > 0) {
        showArrivedBytes(state, view, port.Input());
    }
}

}  // namespace

void showReceivedLines(state::MainState& state, ReceiveView& view) {
    std::string& buffer = state.ReceiveBuffer;
    // The LF of a CR LF pair that a read split keeps out of the next line.
    if (state.ReceiveSkipNext && !buffer.empty()) {
        if (buffer.front() == '\n') {
            buffer.erase(0, 1);
        }
        state.ReceiveSkipNext = false;
    }
    while (buffer.size() > 1) {
        const std::size_t cr = buffer.find('\r');
        if (cr == std::string::npos) {
            return;
        }
        if (cr + 1 < 4) {
            dropShortLine(buffer, cr);
            continue;
        }
        const std::string line = buffer.substr(0, cr);
        // The line, its CR and the character after it (normally the LF);
        // when that has not arrived yet, an LF that comes next goes too.
        state.ReceiveSkipNext = cr + 1 == buffer.size();
        buffer.erase(0, cr + 2);
        view.addReceivedLine(line + kLineMark);
        if (view.selectedReceivedLine() > kListClearIndex) {
            view.clearReceivedLines();
        }
        view.selectReceivedLine(view.receivedLineCount() - 1);
    }
}

void timerTick(state::MainState& state, Port& port, ReceiveView& view) {
    ++state.TickCount;
    if (state.TickCount > kTickCountWrap) {
        state.TickCount = 0;
    }
    if (!state.ReceiveWindowActive || state.OperationRunning) {
        return;
    }
    if (!state.StartComm) {
        state.StartComm = true;
        InitializePort(state, port);
    }
    drainIntoReceiveWindow(state, port, view);
}

void showArrivedBytes(state::MainState& state, ReceiveView& view, const std::string& bytes) {
    state.ReceiveBuffer += bytes;
    showReceivedLines(state, view);
}

void viewbuffer(ReceiveView& view, std::string& buffer) {
    if (!view.receiveWindowTicked()) {
        return;
    }
    const std::size_t cr = buffer.find('\r');
    if (cr == std::string::npos) {
        return;
    }
    if (cr + 1 < 4) {
        dropShortLine(buffer, cr);
        return;
    }
    buffer.erase(0, cr + 1);
}

void switchReceiveWindow(state::MainState& state, Pump& pump, ReceiveView& /*view*/, bool checked) {
    // Only the receive window needs ticks while no operation waits.
    pump.SetIdleTicks(checked);
    if (checked) {
        state.ReceiveWindowActive = true;
        state.ReceiveBuffer.clear();
        state.ReceiveSkipNext = false;
        pump.SetInterval(kCheck1CheckedIntervalMs);
    } else {
        state.ReceiveWindowActive = false;
        pump.SetInterval(kCheck1UncheckedIntervalMs);
    }
}

void clearReceiveWindow(state::MainState& state, ReceiveView& view) {
    view.clearReceivedLines();
    state.ReceiveBuffer.clear();
    state.ReceiveSkipNext = false;
}

}  // namespace brindle::link
