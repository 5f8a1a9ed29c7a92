#include "link/initialize_port.h"

#include "link/com_port.h"

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

}  // namespace brindle::link
