#include "link/sync_with_module.h"

#include <algorithm>

#include "link/com_port.h"
#include "link/exchange.h"
#include "link/frames.h"
#include "link/receive_window.h"

namespace brindle::link {

namespace {

// '#' first, and the first 0x03 'X' pair two places after it: a frame whose
// length byte is 3 and whose command is 'X', whatever its address.
bool showsSyncFrame(const std::string& text) {
    const std::size_t hash = text.find('#');
    const std::size_t pair = text.find("\x03X");
    return hash != std::string::npos && pair != std::string::npos && pair == hash + 2;
}

bool answered(const LinkContext& ctx, const std::string& text) {
    return showsSyncFrame(text) || text.find(" Y\r") != std::string::npos || ctx.Synched_Up;
}

}  // namespace

int16_t wakeUpAnswerTicks(int32_t baud, int intervalMicros) {
    const int64_t speed = std::max<int32_t>(baud, kLowestLineSpeed);
    const int64_t micros =
        kWakeUpAnswerMicros + (int64_t{kWakeUpLineBytes} * 10 * 1'000'000 + speed - 1) / speed;
    const int64_t interval = std::max(intervalMicros, 1);
    return static_cast<int16_t>(
        std::clamp<int64_t>((micros + interval - 1) / interval, 1, kTickCountWrap));
}

std::string wakeUpUnansweredMessage(int16_t wakeUps) {
    return "The controller is talking but does not answer the wake-up (CR CR, sent " +
           std::to_string(wakeUps) + (wakeUps == 1 ? " time)." : " times).");
}

namespace {

SyncOutcome cancelled(LinkContext& ctx) {
    ctx.CancelFlag = true;
    if (!ctx.port.failure().empty()) {
        return SyncOutcome::PortFailed;
    }
    ctx.WakeUpCancelled = true;
    return SyncOutcome::Cancelled;
}

// The synchronisation loop after the first wake-up: until the answer, a
// cancel or, with counted wake-ups, the last unanswered one.
SyncOutcome awaitAnswer(LinkContext& ctx, std::string& receiveText) {
    const bool counted = ctx.WakeUpLimit > 0;
    const int16_t answerTicks =
        wakeUpAnswerTicks(ctx.settings.baud, ctx.pump.effectiveIntervalMicros());
    int wakeUps = 1;
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (true) {
        yieldEvents(ctx);
        if (ctx.CancelFlag) {
            return cancelled(ctx);
        }
        limitReceiveText(receiveText);
        drain(ctx, receiveText);
        if (ctx.CancelFlag) {
            return cancelled(ctx);
        }
        const bool done = answered(ctx, receiveText);
        viewbuffer(ctx.lines, receiveText);
        if (done) {
            ctx.CancelFlag = true;  // as the wait always left it
            return SyncOutcome::Answered;
        }
        if (!counted) {
            ctx.pump.waitForEvent();
        } else if (ctx.TickCount < answerTicks) {
            ctx.pump.waitForEventOrTicks(answerTicks - ctx.TickCount);
        } else if (wakeUps < ctx.WakeUpLimit) {
            ++wakeUps;
            sendRaw(ctx, wakeBytes());
            ctx.TickCount = 0;
            ctx.pump.restartTicks();
        } else {
            ctx.WakeUpUnanswered = true;
            ctx.CancelFlag = true;
            return SyncOutcome::Unanswered;
        }
    }
}

}  // namespace

SyncOutcome SyncWithModule(LinkContext& ctx, std::string& receiveText, int16_t probeTicks) {
    ctx.WakeUpUnanswered = false;
    ctx.WakeUpCancelled = false;
    // A flag an earlier run left set is not a cancel of this one.
    clearCancelFlag(ctx);
    const bool talking = probeForInput(ctx, probeTicks);
    if (ctx.CancelFlag) {
        return cancelled(ctx);
    }
    if (!talking) {
        return SyncOutcome::Quiet;
    }
    sendRaw(ctx, wakeBytes());
    if (ctx.CancelFlag) {
        return cancelled(ctx);
    }
    if (ctx.Synched_Up) {
        return SyncOutcome::Answered;
    }
    ctx.operation.setStatusLine("Downloading..");
    const SyncOutcome outcome = awaitAnswer(ctx, receiveText);
    if (outcome == SyncOutcome::Answered) {
        ctx.Synched_Up = true;
    }
    return outcome;
}

}  // namespace brindle::link
