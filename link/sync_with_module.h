#pragma once
// Waking a talking controller and waiting until it is ready to talk.
#include <cstdint>
#include <string>

#include "link/link_context.h"

namespace brindle::link {

inline constexpr int16_t kSyncProbeTicks = 50;

// Probes for probeTicks ticks (50 for the download, 20 for block execution).
// A quiet controller is left alone. A talking one is sent CR CR and, unless
// Synched_Up is already set, the receive text is watched until it shows the
// sync frame ('#', any byte, 0x03, 'X') or " Y" CR, or until Synched_Up or
// CancelFlag is set; CancelFlag is left set. Synched_Up is set at the end.
void SyncWithModule(LinkContext& ctx, std::string& receiveText,
                    int16_t probeTicks = kSyncProbeTicks);

}  // namespace brindle::link
