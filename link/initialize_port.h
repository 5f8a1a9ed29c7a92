#pragma once
// Configuring and (re)opening the port from the configuration record.
#include "link/link_context.h"
#include "link/port.h"
#include "state/main_state.h"

namespace brindle::link {

// Does nothing while StartComm is false. Otherwise closes the port if open,
// sets CommPort and its device (the Com's chosen device, or resolved in
// DataDir when none was chosen), Settings from the
// configured speed, and opens it. Failures leave the port closed without a
// word; Port::describe() tells why.
void InitializePort(LinkContext& ctx);
void InitializePort(state::MainState& state, Port& port);

}  // namespace brindle::link
