#pragma once
// Waking a talking controller and waiting until it is ready to talk.
#include <cstdint>
#include <string>

#include "link/link_context.h"

namespace brindle::link {

inline constexpr int16_t kSyncProbeTicks = 50;

// The wait for the answer to one wake-up when the wake-ups are counted
// (WakeUpLimit): half a second, plus the time a chatter line already under
// way and the answer take on the line, counted as kWakeUpLineBytes bytes.
inline constexpr int64_t kWakeUpAnswerMicros = 500'000;
inline constexpr int kWakeUpLineBytes = 64;
int16_t wakeUpAnswerTicks(int32_t baud, int intervalMicros);

// Probes for probeTicks ticks (50 for the download, 20 for block execution).
// A quiet controller is left alone. A talking one is sent CR CR and, unless
// Synched_Up is already set, the receive text is watched until it shows the
// sync frame ('#', any byte, 0x03, 'X') or " Y" CR, or until Synched_Up or
// CancelFlag is set; CancelFlag is left set. Synched_Up is set at the end.
//
// With a WakeUpLimit, a wake-up not answered within wakeUpAnswerTicks is sent
// again, up to that many in all; when the last goes unanswered too,
// WakeUpUnanswered and CancelFlag are set and Synched_Up is left as it was.
void SyncWithModule(LinkContext& ctx, std::string& receiveText,
                    int16_t probeTicks = kSyncProbeTicks);

}  // namespace brindle::link
