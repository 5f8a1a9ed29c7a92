#pragma once
// The port as a controller operation reads it: every byte the operation takes
// from the port also goes, while "Receive Window Active" is ticked, to the
// receive window by the receive timer's own line rules (showArrivedBytes),
// in the order it arrived. The timer itself leaves the port alone while an
// operation runs, so no byte is taken from the operation, and none is lost to
// the window. The window and brindle-cli (--monitor) read through it alike.
#include <string>

#include "link/port.h"
#include "link/views.h"
#include "state/main_state.h"

namespace brindle::link {

class ReceivingPort : public Port {
  public:
    ReceivingPort(Port& inner, state::MainState& state, ReceiveView& view)
        : m_inner(inner), m_state(state), m_view(view) {}

    void CommPort(int16_t portNumber) override { m_inner.CommPort(portNumber); }
    void DevicePath(const std::string& path) override { m_inner.DevicePath(path); }
    void Settings(const std::string& settings) override { m_inner.Settings(settings); }
    bool PortOpen() const override { return m_inner.PortOpen(); }
    void SetPortOpen(bool open) override { m_inner.SetPortOpen(open); }
    void InputLen(int16_t count) override { m_inner.InputLen(count); }
    std::string Input() override;
    void Output(const std::string& bytes) override { m_inner.Output(bytes); }
    int InBufferCount() override { return m_inner.InBufferCount(); }
    int OutBufferCount() override { return m_inner.OutBufferCount(); }
    std::string failure() const override { return m_inner.failure(); }
    void fail(const std::string& reason) override { m_inner.fail(reason); }
    std::string describe() const override { return m_inner.describe(); }

  private:
    Port& m_inner;
    state::MainState& m_state;
    ReceiveView& m_view;
};

// Marks one controller operation as running for its lifetime: the receive
// timer stops reading the port, and the stops that belong to one run (a
// wake-up given up or cancelled) start clear.
class OperationScope {
  public:
    explicit OperationScope(state::MainState& state);
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

  private:
    state::MainState& m_state;
    bool m_outer;
};

}  // namespace brindle::link
