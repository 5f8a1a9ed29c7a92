#pragma once
// Waking a talking controller and waiting until it is ready to talk.
#include <cstdint>
#include <string>

#include "link/link_context.h"

namespace brindle::link {

inline constexpr int16_t kSyncProbeTicks = 50;
// Wake-ups a talking controller is sent before the operation gives up on it
// (LinkContext::WakeUpLimit, in the window and on the command line).
inline constexpr int16_t kWakeUpLimit = 4;

// The wait for the answer to one wake-up when the wake-ups are counted
// (WakeUpLimit): half a second, plus the time a chatter line already under
// way and the answer take on the line, counted as kWakeUpLineBytes bytes.
inline constexpr int64_t kWakeUpAnswerMicros = 500'000;
inline constexpr int kWakeUpLineBytes = 64;
int16_t wakeUpAnswerTicks(int32_t baud, int intervalMicros);

// How the wake-up ended. Cancelled and Unanswered end the operation before it
// writes anything; after PortFailed it goes on to fail as at any other step
// (mustStop holds, so it sends nothing more).
enum class SyncOutcome {
    Quiet,       // nothing came within the probe: nothing was sent
    Answered,    // woken: the sync frame or " Y" CR came (or Synched_Up was set)
    Cancelled,   // Cancel, Esc or closing during the probe, the wake-up or
                 // the synchronisation
    Unanswered,  // the counted wake-ups all went unanswered
    PortFailed,  // the port failed meanwhile
};

// Clears a CancelFlag left by an earlier run, then probes for probeTicks
// ticks (50 for the download, 20 for block execution). A quiet controller is
// left alone. A talking one is sent CR CR and, unless Synched_Up is already
// set, the receive text is watched until it shows the sync frame ('#', any
// byte, 0x03, 'X') or " Y" CR, or until Synched_Up is set; CancelFlag is then
// left set and Synched_Up is set. The answer is looked for before viewbuffer
// takes the first line out of the receive text, so an answer that is that
// line still ends the wait.
//
// With a WakeUpLimit, a wake-up not answered within wakeUpAnswerTicks is sent
// again, up to that many in all; when the last goes unanswered too,
// WakeUpUnanswered and CancelFlag are set and Synched_Up is left as it was.
//
// CancelFlag set by anyone else during the probe, the wake-up or the
// synchronisation is a cancel: WakeUpCancelled and CancelFlag stay set (so
// mustStop holds and nothing can be written afterwards) and Synched_Up is
// left as it was.
[[nodiscard]] SyncOutcome SyncWithModule(LinkContext& ctx, std::string& receiveText,
                                         int16_t probeTicks = kSyncProbeTicks);

// Whether the operation may go on to send its commands.
inline bool mayProceed(SyncOutcome outcome) {
    return outcome != SyncOutcome::Cancelled && outcome != SyncOutcome::Unanswered;
}

// The message of an operation that gave up on a talking controller.
std::string wakeUpUnansweredMessage(int16_t wakeUps);

}  // namespace brindle::link
