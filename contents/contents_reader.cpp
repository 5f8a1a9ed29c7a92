#include "contents/contents_reader.h"

#include <algorithm>
#include <string_view>

#include "link/com_port.h"
#include "link/exchange.h"
#include "link/frames.h"
#include "link/receive_window.h"
#include "link/reply_wait.h"
#include "link/sync_with_module.h"
#include "utilities/read_back.h"
#include "utilities/read_reply.h"

namespace brindle::contents {

namespace {

bool stopped(link::LinkContext& ctx) {
    return ctx.CancelFlag || link::noticeStop(ctx);
}

// One location read: the frame, then the reply until it is whole or its
// wait has run out.
std::optional<uint8_t> readOnce(link::LinkContext& ctx, int location) {
    link::discardInput(ctx);
    link::sendFrame(ctx, link::readFrame(static_cast<int16_t>(location)));
    const int16_t wait = link::replyWaitTicks(utilities::kLocationReadTicks, ctx.settings.baud,
                                              ctx.pump.effectiveIntervalMicros());
    std::string received;
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (!stopped(ctx)) {
        while (ctx.port.InBufferCount() > 0) {
            received += ctx.port.Input();
        }
        if (const auto value = utilities::readReplyValue(received)) {
            return value;
        }
        if (ctx.TickCount >= wait) {
            break;
        }
        ctx.pump.waitForEventOrTicks(wait - ctx.TickCount);
    }
    return std::nullopt;
}

// After a read whose reply did not come whole: the module may still be
// sending (a late reply, the tail of a dump). Its bytes are thrown away until
// the line has been quiet for a reply's wait, so that no late reply is taken
// for the next read's.
void waitQuiet(link::LinkContext& ctx) {
    const int16_t quiet = link::replyWaitTicks(utilities::kLocationReadTicks, ctx.settings.baud,
                                               ctx.pump.effectiveIntervalMicros());
    const int64_t deadline =
        ctx.pump.nowMicros() + utilities::dumpTimeBoundMicros(ctx.settings.baud);
    do {
        link::discardInput(ctx);
    } while (link::probeForInput(ctx, quiet) && !stopped(ctx) && ctx.pump.nowMicros() < deadline);
    link::discardInput(ctx);
}

void readLocation(link::LinkContext& ctx, int location, ModuleContents& held) {
    for (int attempt = 0; attempt < kLocationReadTries && !stopped(ctx); ++attempt) {
        if (const auto value = readOnce(ctx, location)) {
            held.set(location, *value);
            return;
        }
        waitQuiet(ctx);
    }
}

// The replies to a batch of read frames so far, in order, when what came is
// nothing but whole replies (and echoes of the frames sent), the last one
// perhaps still arriving; nothing when anything else came.
std::optional<std::vector<uint8_t>> batchReplies(std::string_view received,
                                                 const std::vector<std::string>& sent) {
    std::vector<uint8_t> values;
    std::size_t at = 0;
    while (at < received.size()) {
        const std::string_view rest = received.substr(at);
        bool echo = false;
        bool partial = false;
        for (const std::string& frame : sent) {
            if (rest.substr(0, frame.size()) == frame) {
                at += frame.size();
                echo = true;
                break;
            }
            partial = partial || std::string_view(frame).substr(0, rest.size()) == rest;
        }
        if (echo) {
            continue;
        }
        const std::size_t replySize = link::readReply(0).size();
        if (partial || rest.size() < replySize) {
            break;  // the rest is still on its way
        }
        const std::optional<uint8_t> value = utilities::readReplyValue(rest.substr(0, replySize));
        if (!value || rest.substr(0, replySize) != link::readReply(*value)) {
            return std::nullopt;
        }
        values.push_back(*value);
        at += replySize;
    }
    return values;
}

// The read frames of a batch sent back to back, the module answering while
// the next ones go out. The replies carry no location, so they are taken in
// order only when exactly one whole reply came for every frame; otherwise
// none is taken, and the line is let fall quiet.
void readBatch(link::LinkContext& ctx, const std::vector<int>& batch, ModuleContents& held) {
    link::discardInput(ctx);
    std::vector<std::string> frames;
    for (int location : batch) {
        frames.push_back(link::readFrame(static_cast<int16_t>(location)));
    }
    for (const std::string& frame : frames) {
        if (stopped(ctx)) {
            return;
        }
        link::sendFrame(ctx, frame);
    }
    const int interval = std::max(ctx.pump.effectiveIntervalMicros(), 1);
    const int64_t speed = std::max<int64_t>(ctx.settings.baud, link::kLowestLineSpeed);
    const int64_t lineMicros =
        static_cast<int64_t>(batch.size()) * link::kReplyLineBytes * 10 * 1'000'000 / speed;
    const auto wait = static_cast<int16_t>(std::min<int64_t>(
        link::replyWaitTicks(utilities::kLocationReadTicks, ctx.settings.baud, interval) +
            lineMicros / interval + 1,
        link::kTickCountWrap));
    std::string received;
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (!stopped(ctx)) {
        while (ctx.port.InBufferCount() > 0) {
            received += ctx.port.Input();
        }
        const auto values = batchReplies(received, frames);
        if (values && values->size() == batch.size()) {
            for (std::size_t i = 0; i < batch.size(); ++i) {
                held.set(batch[i], (*values)[i]);
            }
            return;
        }
        if (!values || values->size() > batch.size() || ctx.TickCount >= wait) {
            break;
        }
        ctx.pump.waitForEventOrTicks(wait - ctx.TickCount);
    }
    waitQuiet(ctx);
}

// One dump's raw answer, until it falls silent; nothing when it never began,
// ran past a whole macro area's worth or was cancelled.
std::optional<std::string> dumpPass(link::LinkContext& ctx) {
    link::discardInput(ctx);
    link::sendFrame(ctx, link::dumpFrame());
    const int interval = std::max(ctx.pump.effectiveIntervalMicros(), 1);
    const int16_t silence =
        link::replyWaitTicks(utilities::kDumpSilenceTicks, ctx.settings.baud, interval);
    const auto firstByteWait = static_cast<int16_t>(std::max<int64_t>(
        silence, std::min<int64_t>((utilities::kDumpStartMicros + interval - 1) / interval,
                                   link::kTickCountWrap)));
    const int64_t deadline =
        ctx.pump.nowMicros() + utilities::dumpTimeBoundMicros(ctx.settings.baud);
    std::string raw;
    ctx.port.InputLen(0);
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (!stopped(ctx)) {
        if (ctx.pump.nowMicros() >= deadline ||
            raw.size() >= static_cast<std::size_t>(utilities::kDumpByteLimit)) {
            link::discardInput(ctx);
            return std::nullopt;
        }
        if (ctx.port.InBufferCount() > 0) {
            raw += ctx.port.Input();
            ctx.TickCount = 0;
            continue;
        }
        const int16_t limit = raw.empty() ? firstByteWait : silence;
        if (ctx.TickCount >= limit) {
            return raw.empty() ? std::nullopt : dumpStoredBytes(raw);
        }
        ctx.pump.waitForEventOrTicks(limit - ctx.TickCount);
    }
    return std::nullopt;
}

// Two passes came, and every byte up to the end of the longest is known.
bool everyByteSettled(const ModuleContents& held,
                      const std::vector<std::optional<std::string>>& passes) {
    std::size_t came = 0;
    std::size_t longest = 0;
    for (const std::optional<std::string>& pass : passes) {
        if (pass) {
            ++came;
            longest = std::max(longest, pass->size());
        }
    }
    const int end =
        state::kMacroArea +
        static_cast<int>(std::min<std::size_t>(
            longest, static_cast<std::size_t>(state::kLocationCount - state::kMacroArea)));
    for (int location = state::kMacroArea; location < end; ++location) {
        if (!held.known(location)) {
            return false;
        }
    }
    return came >= 2;
}

}  // namespace

void readLocations(link::LinkContext& ctx, const std::vector<int>& locations,
                   ModuleContents& held) {
    std::vector<int> batch;
    const auto readAll = [&] {
        readBatch(ctx, batch, held);
        // What the batch did not get, one location at a time.
        for (int location : batch) {
            if (stopped(ctx)) {
                return;
            }
            if (!held.known(location)) {
                readLocation(ctx, location, held);
            }
        }
        batch.clear();
    };
    for (int location : locations) {
        if (stopped(ctx)) {
            return;
        }
        if (!held.known(location)) {
            batch.push_back(location);
        }
        if (batch.size() == kReadBatch) {
            readAll();
        }
    }
    if (!batch.empty() && !stopped(ctx)) {
        readAll();
    }
}

void readMacroArea(link::LinkContext& ctx, ModuleContents& held) {
    std::vector<std::optional<std::string>> passes;
    passes.push_back(dumpPass(ctx));
    while (passes.size() < kMostDumpPasses && !stopped(ctx)) {
        std::optional<std::string> pass = dumpPass(ctx);
        for (const std::optional<std::string>& earlier : passes) {
            takeAgreeingBytes(held, earlier, pass);
        }
        passes.push_back(std::move(pass));
        if (everyByteSettled(held, passes)) {
            break;
        }
    }
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

namespace {

// A command cut short a moment ago (Ctrl-C during a read) may leave replies
// on their way; taken for a talking controller, they would make the wake-up
// fail. Input is thrown away until the line has been quiet for a reply's
// wait, for kLeftoverMicros at most: a controller that really talks is then
// left to the wake-up.
void settleLeftovers(link::LinkContext& ctx) {
    const int16_t quiet = link::replyWaitTicks(utilities::kLocationReadTicks, ctx.settings.baud,
                                               ctx.pump.effectiveIntervalMicros());
    const int64_t deadline = ctx.pump.nowMicros() + kLeftoverMicros;
    while (link::probeForInput(ctx, quiet) && !stopped(ctx) && ctx.pump.nowMicros() < deadline) {
        link::discardInput(ctx);
    }
}

}  // namespace

bool openAndWake(link::LinkContext& ctx) {
    ctx.shared.ReceiveWindowActive = false;
    ctx.Synched_Up = false;
    link::openForOperation(ctx, link::Reopen::Always);
    link::discardInput(ctx);
    settleLeftovers(ctx);
    ctx.port.InputLen(1);
    ctx.pump.doEvents();
    std::string receiveText;
    const link::SyncOutcome sync = link::SyncWithModule(ctx, receiveText);
    link::clearCancelFlag(ctx);
    return link::mayProceed(sync) && !ctx.CancelFlag;
}

}  // namespace brindle::contents
