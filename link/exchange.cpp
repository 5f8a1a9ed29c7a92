#include "link/exchange.h"

#include <algorithm>

namespace brindle::link {

void yieldEvents(LinkContext& ctx) {
    ctx.pump.DoEvents();
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
    while (ctx.port.OutBufferCount() > 0) {
        ctx.pump.WaitForEvent();
    }
}

void settle(LinkContext& ctx, int16_t ticks) {
    ctx.state.TickCount = 0;
    ctx.pump.RestartTicks();
    while (ctx.state.TickCount < ticks) {
        ctx.pump.WaitForEvent();
    }
}

bool probeForInput(LinkContext& ctx, int16_t ticks) {
    ctx.state.TickCount = 0;
    ctx.pump.RestartTicks();
    while (ctx.port.InBufferCount() == 0 && ctx.state.TickCount < ticks) {
        ctx.pump.WaitForEvent();
    }
    return ctx.port.InBufferCount() > 0;
}

void waitForInput(LinkContext& ctx) {
    while (ctx.port.InBufferCount() == 0 && !ctx.state.CancelFlag) {
        ctx.pump.WaitForEvent();
    }
}

void drain(LinkContext& ctx, std::string& receiveText) {
    while (ctx.port.InBufferCount() > 0) {
        receiveText += ctx.port.Input();
        yieldEvents(ctx);
    }
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
