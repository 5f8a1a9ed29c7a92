#pragma once
// A Port that passes every operation to another one: the base of the ports
// that change one or two of them (the receive window's view of the reads, a
// fixed device), so that each forwards the rest without a copy of its own.
#include <string>

#include "link/port.h"

namespace brindle::link {

class ForwardingPort : public Port {
  public:
    explicit ForwardingPort(Port& inner) : m_inner(inner) {}

    void CommPort(int16_t portNumber) override { m_inner.CommPort(portNumber); }
    void devicePath(const std::string& path) override { m_inner.devicePath(path); }
    void Settings(const std::string& settings) override { m_inner.Settings(settings); }
    bool PortOpen() const override { return m_inner.PortOpen(); }
    void setPortOpen(bool open) override { m_inner.setPortOpen(open); }
    void InputLen(int16_t count) override { m_inner.InputLen(count); }
    std::string Input() override { return m_inner.Input(); }
    void Output(const std::string& bytes) override { m_inner.Output(bytes); }
    int InBufferCount() override { return m_inner.InBufferCount(); }
    int OutBufferCount() override { return m_inner.OutBufferCount(); }
    std::string failure() const override { return m_inner.failure(); }
    void fail(const std::string& reason) override { m_inner.fail(reason); }
    std::string describe() const override { return m_inner.describe(); }

  protected:
    Port& inner() { return m_inner; }

  private:
    Port& m_inner;
};

}  // namespace brindle::link
