#include "link/exchange.h"

#include <algorithm>

#include "link/com_port.h"
#include "link/frames.h"
#include "link/initialize_port.h"
#include "link/reply_wait.h"

namespace brindle::link {

bool mustStop(const LinkContext& ctx) {
    return ctx.shared.Closing.requests() > ctx.closingAccepted || ctx.WakeUpUnanswered ||
           ctx.WakeUpCancelled || !ctx.port.failure().empty();
}

bool noticeStop(LinkContext& ctx) {
    if (mustStop(ctx)) {
        ctx.CancelFlag = true;
        return true;
    }
    return false;
}

void clearCancelFlag(LinkContext& ctx) {
    ctx.CancelFlag = mustStop(ctx);
}

void yieldEvents(LinkContext& ctx) {
    ctx.pump.doEvents();
    noticeStop(ctx);
}

void sendFrame(LinkContext& ctx, const std::string& frame) {
    const std::size_t count = std::min(frame.size(), kCommandBufferSize);
    for (std::size_t i = 0; i < count; ++i) {
        yieldEvents(ctx);
        if (ctx.CancelFlag) {
            break;
        }
        ctx.port.Output(frame.substr(i, 1));
    }
    waitOutputDrained(ctx);
}

void sendRaw(LinkContext& ctx, const std::string& bytes) {
    ctx.port.Output(bytes);
    waitOutputDrained(ctx);
}

int64_t drainStallMicros(int waitingBytes, int32_t baud) {
    const int64_t speed = std::max<int64_t>(baud, kLowestLineSpeed);
    const int64_t lineMicros = (int64_t{waitingBytes} * 10 * 1'000'000 + speed - 1) / speed;
    return kDrainStallMicros + 2 * lineMicros;
}

// Measured on the pump's clock rather than in ticks: the caller may be
// counting TickCount across the send.
void waitOutputDrained(LinkContext& ctx) {
    yieldEvents(ctx);
    int waiting = ctx.port.OutBufferCount();
    int64_t lastProgress = ctx.pump.nowMicros();
    while (waiting > 0 && !ctx.CancelFlag && !noticeStop(ctx)) {
        const int64_t stall = drainStallMicros(waiting, ctx.settings.baud);
        if (ctx.pump.nowMicros() - lastProgress > stall) {
            ctx.port.fail(std::to_string(waiting) + " bytes do not leave the port");
            noticeStop(ctx);
            break;
        }
        ctx.pump.waitForEvent();
        const int now = ctx.port.OutBufferCount();
        if (now < waiting) {
            lastProgress = ctx.pump.nowMicros();
        }
        waiting = now;
    }
}

void settle(LinkContext& ctx, int16_t ticks) {
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (ctx.TickCount < ticks && !noticeStop(ctx)) {
        ctx.pump.waitForEventOrTicks(ticks - ctx.TickCount);
    }
}

std::string settleForReply(LinkContext& ctx, int16_t ticks, const std::string& expected,
                           const std::string& receiveText) {
    const int16_t wait =
        replyWaitTicks(ticks, ctx.settings.baud, ctx.pump.effectiveIntervalMicros());
    // The text as the search will see it: limited first, then drained.
    std::string text = receiveText.size() > kReceiveTextLimit ? std::string() : receiveText;
    const std::size_t kept = text.size();
    // A match must end past what was already there when the wait began.
    const std::size_t fresh = kept + static_cast<std::size_t>(ctx.port.InBufferCount());
    const std::size_t searchFrom = fresh >= expected.size() ? fresh - expected.size() + 1 : 0;
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (true) {
        while (ctx.port.InBufferCount() > 0) {
            text += ctx.port.Input();
        }
        if (!expected.empty() && text.size() > fresh &&
            text.find(expected, searchFrom) != std::string::npos) {
            break;
        }
        if (ctx.TickCount >= wait || noticeStop(ctx)) {
            break;
        }
        ctx.pump.waitForEventOrTicks(wait - ctx.TickCount);
    }
    return text.substr(kept);
}

bool probeForInput(LinkContext& ctx, int16_t ticks) {
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (ctx.port.InBufferCount() == 0 && ctx.TickCount < ticks && !ctx.CancelFlag &&
           !noticeStop(ctx)) {
        ctx.pump.waitForEventOrTicks(ticks - ctx.TickCount);
    }
    return ctx.port.InBufferCount() > 0;
}

void waitForInput(LinkContext& ctx) {
    while (ctx.port.InBufferCount() == 0 && !ctx.CancelFlag && !noticeStop(ctx)) {
        ctx.pump.waitForEvent();
    }
}

void drain(LinkContext& ctx, std::string& receiveText) {
    while (ctx.port.InBufferCount() > 0) {
        receiveText += ctx.port.Input();
        yieldEvents(ctx);
    }
}

void reopenPort(LinkContext& ctx) {
    if (ctx.port.PortOpen()) {
        ctx.port.setPortOpen(false);
    }
    ctx.port.setPortOpen(true);
}

void discardInput(LinkContext& ctx) {
    ctx.port.InputLen(0);
    while (ctx.port.InBufferCount() > 0) {
        ctx.port.Input();
    }
}

void limitReceiveText(std::string& receiveText) {
    if (receiveText.size() > kReceiveTextLimit) {
        receiveText.clear();
    }
}

void openForOperation(LinkContext& ctx, Reopen reopen) {
    if (!ctx.StartComm) {
        ctx.StartComm = true;
        InitializePort(ctx);
        if (reopen == Reopen::Always && !ctx.port.PortOpen()) {
            reopenPort(ctx);
        }
    } else if (reopen == Reopen::Always) {
        reopenPort(ctx);
    } else if (!ctx.port.PortOpen()) {
        InitializePort(ctx);
    }
}

}  // namespace brindle::link
