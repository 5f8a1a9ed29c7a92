#pragma once
// A Port that always uses one device, whatever port number the configuration
// names: for "brindle-cli download --port DEVICE".
#include <string>

#include "link/port.h"

namespace brindle::cli {

class FixedDevicePort : public link::Port {
  public:
    FixedDevicePort(link::Port& inner, std::string device)
        : m_inner(inner), m_device(std::move(device)) {}

    void CommPort(int16_t portNumber) override { m_inner.CommPort(portNumber); }
    void DevicePath(const std::string&) override { m_inner.DevicePath(m_device); }
    void Settings(const std::string& settings) override { m_inner.Settings(settings); }
    bool PortOpen() const override { return m_inner.PortOpen(); }
    void SetPortOpen(bool open) override {
        m_inner.DevicePath(m_device);
        m_inner.SetPortOpen(open);
    }
    void InputLen(int16_t count) override { m_inner.InputLen(count); }
    std::string Input() override { return m_inner.Input(); }
    void Output(const std::string& bytes) override { m_inner.Output(bytes); }
    int InBufferCount() override { return m_inner.InBufferCount(); }
    int OutBufferCount() override { return m_inner.OutBufferCount(); }
    std::string failure() const override { return m_inner.failure(); }
    void fail(const std::string& reason) override { m_inner.fail(reason); }
    std::string describe() const override { return m_inner.describe(); }

  private:
    link::Port& m_inner;
    std::string m_device;
};

}  // namespace brindle::cli
