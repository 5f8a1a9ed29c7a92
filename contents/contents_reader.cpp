#include "contents/contents_reader.h"

#include <algorithm>

#include "link/exchange.h"
#include "link/receive_window.h"
#include "link/reply_wait.h"
#include "utilities/read_back.h"
#include "utilities/read_reply.h"

namespace brindle::contents {

namespace {

bool stopped(link::LinkContext& ctx) {
    return ctx.state.CancelFlag || link::noticeStop(ctx);
}

// One location read: the frame, then the reply until it is whole or its
// wait has run out.
std::optional<uint8_t> readOnce(link::LinkContext& ctx, int location) {
    link::discardInput(ctx);
    link::sendFrame(ctx, link::readFrame(static_cast<int16_t>(location)));
    const int16_t wait =
        link::replyWaitTicks(utilities::kLocationReadTicks, ctx.state.ConfigRecord.BaudRate,
                             ctx.pump.EffectiveIntervalMicros());
    std::string received;
    ctx.state.TickCount = 0;
    ctx.pump.RestartTicks();
    while (!stopped(ctx)) {
        while (ctx.port.InBufferCount() > 0) {
            received += ctx.port.Input();
        }
        if (const auto value = utilities::readReplyValue(received)) {
            return value;
        }
        if (ctx.state.TickCount >= wait) {
            break;
        }
        ctx.pump.WaitForEventOrTicks(wait - ctx.state.TickCount);
    }
    return std::nullopt;
}

void readLocation(link::LinkContext& ctx, int location, ModuleContents& held) {
    for (int attempt = 0; attempt < kLocationReadTries && !stopped(ctx); ++attempt) {
        if (const auto value = readOnce(ctx, location)) {
            held.set(location, *value);
            return;
        }
    }
}

// One dump's raw answer, until it falls silent; nothing when it never began,
// ran past a whole macro area's worth or was cancelled.
std::optional<std::string> dumpPass(link::LinkContext& ctx) {
    link::discardInput(ctx);
    link::sendFrame(ctx, link::dumpFrame());
    const int interval = std::max(ctx.pump.EffectiveIntervalMicros(), 1);
    const int16_t silence = link::replyWaitTicks(utilities::kDumpSilenceTicks,
                                                 ctx.state.ConfigRecord.BaudRate, interval);
    const auto firstByteWait = static_cast<int16_t>(std::max<int64_t>(
        silence, std::min<int64_t>((utilities::kDumpStartMicros + interval - 1) / interval,
                                   link::kTickCountWrap)));
    const int64_t deadline =
        ctx.pump.nowMicros() + utilities::dumpTimeBoundMicros(ctx.state.ConfigRecord.BaudRate);
    std::string raw;
    ctx.port.InputLen(0);
    ctx.state.TickCount = 0;
    ctx.pump.RestartTicks();
    while (!stopped(ctx)) {
        if (ctx.pump.nowMicros() >= deadline ||
            raw.size() >= static_cast<std::size_t>(utilities::kDumpByteLimit)) {
            link::discardInput(ctx);
            return std::nullopt;
        }
        if (ctx.port.InBufferCount() > 0) {
            raw += ctx.port.Input();
            ctx.state.TickCount = 0;
            continue;
        }
        const int16_t limit = raw.empty() ? firstByteWait : silence;
        if (ctx.state.TickCount >= limit) {
            return raw.empty() ? std::nullopt : dumpStoredBytes(raw);
        }
        ctx.pump.WaitForEventOrTicks(limit - ctx.state.TickCount);
    }
    return std::nullopt;
}

}  // namespace

void readLocations(link::LinkContext& ctx, const std::vector<int>& locations,
                   ModuleContents& held) {
    for (int location : locations) {
        if (stopped(ctx)) {
            return;
        }
        if (!held.known(location)) {
            readLocation(ctx, location, held);
        }
    }
}

void readMacroArea(link::LinkContext& ctx, ModuleContents& held) {
    const std::optional<std::string> first = dumpPass(ctx);
    if (stopped(ctx)) {
        return;
    }
    const std::optional<std::string> second = dumpPass(ctx);
    takeAgreeingBytes(held, first, second);
}

ReadEnd readModuleContents(link::LinkContext& ctx, const std::vector<int>& locations,
                           bool macroArea, ModuleContents& held) {
    readLocation(ctx, state::kImageStateLocation, held);
    if (stopped(ctx)) {
        return ReadEnd::Cancelled;
    }
    if (!held.holdsCompleteDownload()) {
        return ReadEnd::Incomplete;
    }
    if (macroArea) {
        readMacroArea(ctx, held);
    }
    readLocations(ctx, locations, held);
    return stopped(ctx) ? ReadEnd::Cancelled : ReadEnd::Read;
}

}  // namespace brindle::contents

namespace brindle::contents {

bool openAndWake(link::LinkContext& ctx) {
    ctx.state.ReceiveWindowActive = false;
    ctx.state.Synched_Up = false;
    const bool openedNow = !ctx.state.StartComm;
    if (openedNow) {
        ctx.state.StartComm = true;
        link::InitializePort(ctx);
    }
    if (!(openedNow && ctx.port.PortOpen())) {
        link::reopenPort(ctx);
    }
    link::discardInput(ctx);
    ctx.port.InputLen(1);
    ctx.pump.DoEvents();
    std::string receiveText;
    const link::SyncOutcome sync = link::SyncWithModule(ctx, receiveText);
    link::clearCancelFlag(ctx);
    return link::mayProceed(sync) && !ctx.state.CancelFlag;
}

}  // namespace brindle::contents
