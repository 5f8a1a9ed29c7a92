#include "sim/fake_link.h"

#include "link/initialize_port.h"
#include "link/receive_window.h"

namespace brindle::sim {

FakeLink::FakeLink(ModuleOptions options)
    : module(pump, options),
      port(pump, module),
      receiving(port, state, receive),
      ctx{state, receiving, pump, receive, operation} {
    port.setLineSpeed(options.baud);
    pump.SetTickHandler([this] { link::timerTick(state, port, receive); });
    state.StartComm = true;
    link::InitializePort(ctx);
}

}  // namespace brindle::sim
