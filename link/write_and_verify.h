#pragma once
// Storing one E2PROM byte: write it, then read it back until two reads in a
// row return it.
#include <cstdint>
#include <string>

#include "link/link_context.h"

namespace brindle::link {

struct WriteResult {
    bool confirmed = false;
    // Tries of the last byte; RetryLimit (or more) on failure.
    int tries = 0;
};

// A good read resets the count of tries, so a module that answers only every
// other read would keep the tries low for ever; the writes of one byte are
// therefore bounded as well, and reaching the bound fails like RetryLimit.
int writeBound(int16_t retryLimit);

// Returns at once, sending nothing, when CancelFlag is set. On failure
// CancelFlag is set and tries is at least RetryLimit.
WriteResult WriteAndVerify(LinkContext& ctx, int16_t location, uint8_t value,
                           std::string& receiveText);

}  // namespace brindle::link
