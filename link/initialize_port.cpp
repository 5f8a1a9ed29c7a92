#include "link/initialize_port.h"

#include "link/com_port.h"
#include "link/exchange.h"

namespace brindle::link {

LinkSettings comSettings(int16_t port, int32_t baud, const std::string& dataDir,
                         const std::array<std::string, 4>& comChoices) {
    return LinkSettings{port, baud, resolveComPort(dataDir, port, comChoice(comChoices, port))};
}

void InitializePort(LinkContext& ctx) {
    if (!ctx.StartComm) {
        return;
    }
    if (ctx.port.PortOpen()) {
        ctx.port.setPortOpen(false);
    }
    ctx.port.CommPort(ctx.settings.port);
    ctx.port.devicePath(ctx.settings.device);
    ctx.port.Settings(settingsText(ctx.settings.baud));
    ctx.port.setPortOpen(true);
}

void openForOperation(LinkContext& ctx, Reopen reopen) {
    if (!ctx.StartComm) {
        ctx.StartComm = true;
        InitializePort(ctx);
        if (reopen == Reopen::Always && !ctx.port.PortOpen()) {
            reopenPort(ctx);
        }
    } else if (reopen == Reopen::Always) {
        reopenPort(ctx);
    } else if (!ctx.port.PortOpen()) {
        InitializePort(ctx);
    }
}

}  // namespace brindle::link
