#include "link/initialize_port.h"

#include "link/com_port.h"

namespace brindle::link {

void InitializePort(state::MainState& state, Port& port) {
    if (!state.StartComm) {
        return;
    }
    if (port.PortOpen()) {
        port.SetPortOpen(false);
    }
    port.CommPort(state.ConfigRecord.PortNumber);
    port.DevicePath(resolveComPort(state.DataDir, state.ConfigRecord.PortNumber,
                                   comChoice(state.ComChoices, state.ConfigRecord.PortNumber)));
    port.Settings(settingsText(state.ConfigRecord.BaudRate));
    port.SetPortOpen(true);
}

void InitializePort(LinkContext& ctx) {
    InitializePort(ctx.state, ctx.port);
}

}  // namespace brindle::link
