#pragma once
// Everything one controller exchange works on, bundled so that the procedures
// keep short signatures.
#include "link/port.h"
#include "link/pump.h"
#include "link/views.h"
#include "state/main_state.h"

namespace brindle::link {

struct LinkContext {
    state::MainState& state;
    Port& port;
    Pump& pump;
    ReceiveView& receive;
    OperationView& operation;
};

}  // namespace brindle::link
