#include "sim/fake_link.h"

#include "link/initialize_port.h"
#include "link/receive_window.h"

namespace brindle::sim {

FakeLink::FakeLink(ModuleOptions options)
    : module(pump, options),
      port(pump, module),
      receiving(port, receive),
      ctx(receiving, pump, receive, operation, shared, receiving.lines()) {
    port.setLineSpeed(options.baud);
    pump.setTickHandler([this] { link::timerTick(ctx, port); });
    ctx.StartComm = true;
    link::InitializePort(ctx);
}

}  // namespace brindle::sim
