#pragma once
// Configuring and (re)opening the port from the line's settings.
#include <array>
#include <cstdint>
#include <string>

#include "link/link_context.h"

namespace brindle::link {

// The settings for Com port at baud: its device is the Com's chosen device,
// or resolved in dataDir when none was chosen (see resolveComPort).
LinkSettings comSettings(int16_t port, int32_t baud, const std::string& dataDir,
                         const std::array<std::string, 4>& comChoices);

// Does nothing while StartComm is false. Otherwise closes the port if open,
// sets CommPort and its device, Settings from the speed, and opens it.
// Failures leave the port closed without a word; Port::describe() tells why.
void InitializePort(LinkContext& ctx);

}  // namespace brindle::link
