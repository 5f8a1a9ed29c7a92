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

// How a controller operation takes the port. The first operation of the line
// opens it with InitializePort. Later ones either reopen it, so that it
// starts afresh (Always: the download, the clear and block execution, which
// also give a port that failed to open on first use a second try), or start
// it again only when it is closed (WhenClosed: the read-back).
enum class Reopen { Always, WhenClosed };
void openForOperation(LinkContext& ctx, Reopen reopen);

}  // namespace brindle::link
