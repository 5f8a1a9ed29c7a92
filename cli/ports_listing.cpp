#include "cli/ports_listing.h"

#include "link/com_port.h"

namespace brindle::cli {

namespace {

void field(std::string& out, const char* name, const std::string& value) {
    if (!value.empty()) {
        out += std::string("  ") + name + value + "\n";
    }
}

std::string comsFor(const link::SerialPortEntry& port, const std::array<ComDevice, 4>& coms) {
    std::string names;
    for (std::size_t i = 0; i < coms.size(); ++i) {
        if (link::entryMatches(port, coms[i].device)) {
            names += (names.empty() ? "Com" : ", Com") + std::to_string(i + 1);
            names += coms[i].choice.empty() ? " (no choice made; the default rule)" : "";
        }
    }
    return names;
}

std::string why(const ComDevice& com, int n) {
    const std::string local = "com" + std::to_string(n);
    if (com.choice.empty()) {
        return "no choice made: " + local + " in the data folder when it exists, else /dev/ttyS" +
               std::to_string(n - 1);
    }
    if (com.choice == link::kProgramFolderChoice) {
        return "chosen: " + local + " in the program's folder";
    }
    return "chosen";
}

}  // namespace

std::string portsListing(const std::vector<link::SerialPortEntry>& ports,
                         const std::array<ComDevice, 4>& coms, const std::string& settingsFile,
                         int configuredCom) {
    std::string out;
    if (ports.empty()) {
        out += "No serial ports found.\n";
    }
    for (const link::SerialPortEntry& port : ports) {
        out += port.device + "\n";
        field(out, "by-id name:   ", port.byId);
        field(out, "description:  ", port.description);
        field(out, "manufacturer: ", port.manufacturer);
        field(out, "USB id:       ", link::usbIdText(port));
        field(out, "serial:       ", port.serialNumber);
        const std::string com = comsFor(port, coms);
        field(out, "chosen for:   ", com.empty() ? std::string("no Com") : com);
    }
    out += "\nThe Coms (choices from " + settingsFile + ", the window's settings";
    out += configuredCom >= 1 && configuredCom <= 4
               ? "; the data folder's configured port is Com" + std::to_string(configuredCom)
               : std::string();
    out += "):\n";
    for (std::size_t i = 0; i < coms.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        out += "Com" + std::to_string(n) + ": " + coms[i].device + " (" + why(coms[i], n) + ")\n";
    }
    return out;
}

}  // namespace brindle::cli
