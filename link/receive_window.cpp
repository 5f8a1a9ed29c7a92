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

void drainIntoReceiveWindow(ReceivedLines& lines, Port& port, ReceiveView& view) {
    port.InputLen(0);
    while (port.InBufferCount() > 0) {
        showArrivedBytes(lines, view, port.Input());
    }
}

}  // namespace

void showReceivedLines(ReceivedLines& lines, ReceiveView& view) {
    std::string& buffer = lines.ReceiveBuffer;
    // The LF of a CR LF pair that a read split keeps out of the next line.
    if (lines.ReceiveSkipNext && !buffer.empty()) {
        if (buffer.front() == '\n') {
            buffer.erase(0, 1);
        }
        lines.ReceiveSkipNext = false;
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
        lines.ReceiveSkipNext = cr + 1 == buffer.size();
        buffer.erase(0, cr + 2);
        view.addReceivedLine(line + kLineMark);
        if (view.selectedReceivedLine() > kListClearIndex) {
            view.clearReceivedLines();
        }
        view.selectReceivedLine(view.receivedLineCount() - 1);
    }
}

void timerTick(LinkContext& ctx, Port& port) {
    ++ctx.TickCount;
    if (ctx.TickCount > kTickCountWrap) {
        ctx.TickCount = 0;
    }
    if (!ctx.shared.ReceiveWindowActive || ctx.OperationRunning) {
        return;
    }
    if (!ctx.StartComm) {
        ctx.StartComm = true;
        InitializePort(ctx);
    }
    drainIntoReceiveWindow(ctx.lines, port, ctx.receive);
}

void showArrivedBytes(ReceivedLines& lines, ReceiveView& view, const std::string& bytes) {
    lines.ReceiveBuffer += bytes;
    showReceivedLines(lines, view);
}

void viewbuffer(const ReceivedLines& lines, std::string& buffer) {
    if (!lines.ReceiveWindowTicked) {
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

void switchReceiveWindow(SharedSignals& shared, ReceivedLines& lines, Pump& pump, bool checked) {
    // Only the receive window needs ticks while no operation waits.
    pump.setIdleTicks(checked);
    lines.ReceiveWindowTicked = checked;
    if (checked) {
        shared.ReceiveWindowActive = true;
        lines.ReceiveBuffer.clear();
        lines.ReceiveSkipNext = false;
        pump.setInterval(kCheck1CheckedIntervalMs);
    } else {
        shared.ReceiveWindowActive = false;
        pump.setInterval(kCheck1UncheckedIntervalMs);
    }
}

void clearReceiveWindow(ReceivedLines& lines, ReceiveView& view) {
    view.clearReceivedLines();
    lines.ReceiveBuffer.clear();
    lines.ReceiveSkipNext = false;
}

}  // namespace brindle::link
