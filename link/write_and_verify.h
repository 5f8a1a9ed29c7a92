#pragma once
// Storing one E2PROM byte: write it, then read it back until two reads in a
// row return it.
#include <cstdint>
#include <string>

#include "base/status.h"
#include "link/link_context.h"

namespace brindle::link {

// A good read resets the count of tries, so a module that answers only every
// other read would keep the tries low for ever; the writes of one byte are
// therefore bounded as well, and reaching the bound fails like RetryLimit.
int writeBound(int16_t retryLimit);

// Returns at once, sending nothing, when CancelFlag is set. Fails when the
// byte was not confirmed: after RetryLimit tries (or the bound of writes),
// which also sets CancelFlag, or because CancelFlag was set before it was.
base::Status WriteAndVerify(LinkContext& ctx, int16_t location, uint8_t value,
                            std::string& receiveText);

}  // namespace brindle::link
