#include "link/receiving_port.h"

#include "link/receive_window.h"

namespace brindle::link {

std::string ReceivingPort::Input() {
    std::string bytes = inner().Input();
    if (!bytes.empty() && m_lines.ReceiveWindowTicked) {
        showArrivedBytes(m_lines, m_view, bytes);
    }
    return bytes;
}

OperationScope::OperationScope(LinkContext& ctx) : m_ctx(ctx), m_outer(!ctx.OperationRunning) {
    if (m_outer) {
        m_ctx.OperationRunning = true;
        m_ctx.WakeUpUnanswered = false;
        m_ctx.WakeUpCancelled = false;
    }
}

OperationScope::~OperationScope() {
    if (m_outer) {
        m_ctx.OperationRunning = false;
    }
}

}  // namespace brindle::link
