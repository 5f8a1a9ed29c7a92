#include "link/exchange.h"

#include <algorithm>

namespace brindle::link {

bool mustStop(const LinkContext& ctx) {
    return ctx.state.Closing || !ctx.port.failure().empty();
}

bool noticeStop(LinkContext& ctx) {
    if (mustStop(ctx)) {
        ctx.state.CancelFlag = true;
        return true;
    }
    return false;
}

void clearCancelFlag(LinkContext& ctx) {
    ctx.state.CancelFlag = mustStop(ctx);
}

void yieldEvents(LinkContext& ctx) {
    ctx.pump.DoEvents();
    noticeStop(ctx);
}

void sendFrame(LinkContext& ctx, const std::string& frame) {
    const std::size_t count = std::min(frame.size(), kCommandBufferSize);
    for (std::size_t i = 0; i < count; ++i) {
        yieldEvents(ctx);
        if (ctx.state.CancelFlag) {
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

void waitOutputDrained(LinkContext& ctx) {
    yieldEvents(ctx);
    while (ctx.port.OutBufferCount() > 0 && !noticeStop(ctx)) {
        ctx.pump.WaitForEvent();
    }
}

void settle(LinkContext& ctx, int16_t ticks) {
    ctx.state.TickCount = 0;
    ctx.pump.RestartTicks();
    while (ctx.state.TickCount < ticks && !noticeStop(ctx)) {
        ctx.pump.WaitForEvent();
    }
}

bool probeForInput(LinkContext& ctx, int16_t ticks) {
    ctx.state.TickCount = 0;
    ctx.pump.RestartTicks();
    while (ctx.port.InBufferCount() == 0 && ctx.state.TickCount < ticks && !noticeStop(ctx)) {
        ctx.pump.WaitForEvent();
    }
    return ctx.port.InBufferCount() > 0;
}

void waitForInput(LinkContext& ctx) {
    while (ctx.port.InBufferCount() == 0 && !ctx.state.CancelFlag && !noticeStop(ctx)) {
        ctx.pump.WaitForEvent();
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
        ctx.port.SetPortOpen(false);
    }
    ctx.port.SetPortOpen(true);
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

}  // namespace brindle::link
