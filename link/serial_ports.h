#pragma once
// The machine's serial ports as the user chooses among them, and the stable
// names the system gives USB adapters in /dev/serial/by-id, which stay the
// same when an adapter is plugged into another socket or re-plugged.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brindle::link {

inline constexpr const char* kByIdFolder = "/dev/serial/by-id";

struct SerialPortEntry {
    std::string device;  // "/dev/ttyUSB0"
    std::string byId;    // "/dev/serial/by-id/usb-FTDI_..." or empty
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    std::optional<uint16_t> vendorId;
    std::optional<uint16_t> productId;

    // The name to remember: the by-id one when there is one.
    const std::string& stableName() const { return byId.empty() ? device : byId; }
};

// The by-id link that leads to the same device as path, or empty.
std::string byIdName(const std::string& path, const std::string& folder = kByIdFolder);

// What "--port VALUE" names: VALUE itself when it exists (or holds a '/'),
// else the by-id link of that name when there is one; VALUE otherwise, so
// that the open fails with its name.
std::string portArgument(const std::string& value, const std::string& folder = kByIdFolder);

// "0403:6001", or empty when either is unknown.
std::string usbIdText(const SerialPortEntry& entry);

// Every name by which the entry's device is known, for matching a choice.
bool entryMatches(const SerialPortEntry& entry, const std::string& chosen);

}  // namespace brindle::link
