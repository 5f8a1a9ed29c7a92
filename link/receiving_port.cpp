#include "link/receiving_port.h"

#include "link/receive_window.h"

namespace brindle::link {

std::string ReceivingPort::Input() {
    std::string bytes = inner().Input();
    if (!bytes.empty() && m_view.receiveWindowTicked()) {
        showArrivedBytes(m_state, m_view, bytes);
    }
    return bytes;
}

OperationScope::OperationScope(state::MainState& state)
    : m_state(state), m_outer(!state.OperationRunning) {
    if (m_outer) {
        m_state.OperationRunning = true;
        m_state.WakeUpUnanswered = false;
        m_state.WakeUpCancelled = false;
    }
}

OperationScope::~OperationScope() {
    if (m_outer) {
        m_state.OperationRunning = false;
    }
}

}  // namespace brindle::link
