#pragma once
// A Port that always uses one device, whatever port number the configuration
// names: for "brindle-cli download --port DEVICE".
#include <string>

#include "link/forwarding_port.h"

namespace brindle::cli {

class FixedDevicePort : public link::ForwardingPort {
  public:
    FixedDevicePort(link::Port& inner, std::string device)
        : ForwardingPort(inner), m_device(std::move(device)) {}

    void devicePath(const std::string&) override { inner().devicePath(m_device); }
    void setPortOpen(bool open) override {
        inner().devicePath(m_device);
        inner().setPortOpen(open);
    }

  private:
    std::string m_device;
};

}  // namespace brindle::cli
