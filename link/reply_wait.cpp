#include "link/reply_wait.h"

#include <algorithm>

#include "link/receive_window.h"

namespace brindle::link {

int64_t replyBoundMicros(int32_t baud) {
    if (baud <= 0) {
        return kReplyTurnaroundMicros;
    }
    const int64_t lineMicros = (int64_t{kReplyLineBytes} * 10 * 1'000'000 + baud - 1) / baud;
    return lineMicros + kReplyTurnaroundMicros;
}

int16_t replyWaitTicks(int16_t settleTicks, int32_t baud, int intervalMicros) {
    const int64_t interval = std::max(intervalMicros, 1);
    const int64_t boundTicks = (replyBoundMicros(baud) + interval - 1) / interval;
    // TickCount wraps past kTickCountWrap: a longer wait would never end.
    const int64_t ticks =
        std::min<int64_t>(std::max<int64_t>(settleTicks, boundTicks), kTickCountWrap);
    return static_cast<int16_t>(ticks);
}

}  // namespace brindle::link
