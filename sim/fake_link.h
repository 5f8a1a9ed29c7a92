#pragma once
// Everything a link test needs in one object: the window's state and shared
// signals, virtual pump, fake module and port, recording views, and the
// LinkContext over them. The Timer1 tick is
// installed, the port is configured and open at 38400, and the operations
// read it as the window's do, through a ReceivingPort.
#include "link/link_context.h"
#include "link/receiving_port.h"
#include "sim/fake_module.h"
#include "sim/recording_views.h"
#include "sim/virtual_pump.h"
#include "state/main_state.h"

namespace brindle::sim {

struct FakeLink {
    explicit FakeLink(ModuleOptions options = {});
    FakeLink(const FakeLink&) = delete;
    FakeLink& operator=(const FakeLink&) = delete;

    state::MainState state;
    link::SharedSignals shared;
    VirtualPump pump;
    FakeModule module;
    FakePort port;
    RecordingReceiveView receive;
    RecordingOperationView operation;
    // What the operations read through: their reads feed the receive window.
    link::ReceivingPort receiving;
    link::LinkContext ctx;
};

}  // namespace brindle::sim
