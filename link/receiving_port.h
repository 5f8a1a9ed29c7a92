#pragma once
// The port as a controller operation reads it: every byte the operation takes
// from the port also goes, while the line's "Receive Window Active" is ticked
// (lines().ReceiveWindowTicked), to the receive window by the receive timer's
// own line rules (showArrivedBytes), in the order it arrived. The timer
// itself leaves the port alone while an operation runs, so no byte is taken
// from the operation, and none is lost to the window. The window and
// brindle-cli (--monitor) read through it alike.
#include <string>

#include "link/forwarding_port.h"
#include "link/link_context.h"
#include "link/views.h"

namespace brindle::link {

// It keeps the line's part of a line not yet shown and its box's state
// (lines()).
class ReceivingPort : public ForwardingPort {
  public:
    ReceivingPort(Port& inner, ReceiveView& view) : ForwardingPort(inner), m_view(view) {}

    std::string Input() override;
    ReceivedLines& lines() { return m_lines; }

  private:
    ReceivedLines m_lines;
    ReceiveView& m_view;
};

// Marks one controller operation as running for its lifetime: the receive
// timer stops reading the port, and the stops that belong to one run (a
// wake-up given up or cancelled) start clear.
class OperationScope {
  public:
    explicit OperationScope(LinkContext& ctx);
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

  private:
    LinkContext& m_ctx;
    bool m_outer;
};

}  // namespace brindle::link
