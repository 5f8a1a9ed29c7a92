#include "link/sync_with_module.h"

#include <algorithm>

#include "link/com_port.h"
#include "link/exchange.h"
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
    return showsSyncFrame(text) || text.find(" Y\r") != std::string::npos || ctx.state.Synched_Up;
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

void SyncWithModule(LinkContext& ctx, std::string& receiveText, int16_t probeTicks) {
    state::MainState& st = ctx.state;
    st.WakeUpUnanswered = false;
    if (!probeForInput(ctx, probeTicks)) {
        return;  // the controller is quiet
    }
    sendRaw(ctx, wakeBytes());
    if (!st.Synched_Up) {
        ctx.operation.setStatusLine("Downloading..");
        clearCancelFlag(ctx);
        const bool counted = st.WakeUpLimit > 0;
        const int16_t answerTicks =
            wakeUpAnswerTicks(st.ConfigRecord.BaudRate, ctx.pump.EffectiveIntervalMicros());
        int wakeUps = 1;
        st.TickCount = 0;
        ctx.pump.RestartTicks();
        while (!st.CancelFlag) {
            yieldEvents(ctx);
            limitReceiveText(receiveText);
            drain(ctx, receiveText);
            viewbuffer(ctx.receive, receiveText);
            if (answered(ctx, receiveText)) {
                st.CancelFlag = true;
            } else if (!counted) {
                ctx.pump.WaitForEvent();
            } else if (st.TickCount < answerTicks) {
                ctx.pump.WaitForEventOrTicks(answerTicks - st.TickCount);
            } else if (wakeUps < st.WakeUpLimit) {
                ++wakeUps;
                sendRaw(ctx, wakeBytes());
                st.TickCount = 0;
                ctx.pump.RestartTicks();
            } else {
                st.WakeUpUnanswered = true;
                st.CancelFlag = true;
            }
        }
    }
    if (!st.WakeUpUnanswered) {
        st.Synched_Up = true;
    }
}

}  // namespace brindle::link
