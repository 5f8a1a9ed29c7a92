#pragma once
// What 'brindle-cli ports' prints: the serial ports and the Com chosen for
// each, and the device each Com stands for and why.
#include <array>
#include <string>
#include <vector>

#include "link/serial_ports.h"

namespace brindle::cli {

struct ComDevice {
    std::string choice;  // as remembered ("" for none)
    std::string device;  // what it resolves to in the data folder
};

// ports: the system's serial ports; coms: Com1 to Com4; settingsFile: where
// the choices were read; configuredCom: the Com of the data folder's
// configuration record.
std::string portsListing(const std::vector<link::SerialPortEntry>& ports,
                         const std::array<ComDevice, 4>& coms, const std::string& settingsFile,
                         int configuredCom);

}  // namespace brindle::cli
