#include "link/com_port.h"

#include <filesystem>
#include <system_error>

#include "base/numeric.h"

namespace brindle::link {

std::string resolveComPort(const std::string& dataDir, int portNumber) {
    if (portNumber < 1) {
        return {};
    }
    const std::string local = dataDir + "com" + std::to_string(portNumber);
    std::error_code ec;
    // symlink_status: a link that points nowhere is still the user's choice.
    if (std::filesystem::exists(std::filesystem::symlink_status(local, ec))) {
        return local;
    }
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::string resolveComPort(const std::string& dataDir, int portNumber, const std::string& choice) {
    if (portNumber < 1) {
        return {};
    }
    if (choice.empty()) {
        return resolveComPort(dataDir, portNumber);
    }
    if (choice == kProgramFolderChoice) {
        return dataDir + "com" + std::to_string(portNumber);
    }
    return choice;
}

std::string comChoice(const std::array<std::string, 4>& choices, int portNumber) {
    return portNumber >= 1 && portNumber <= 4 ? choices[static_cast<std::size_t>(portNumber - 1)]
                                              : std::string();
}

std::string settingsText(int32_t baud) {
    return base::decimalText(baud) + ",n,8,1";
}

bool lineSpeedUsable(int32_t baud) {
    return baud >= kLowestLineSpeed && baud <= kHighestLineSpeed;
}

std::string storedSpeedProblem(const std::string& configFile, int32_t baud) {
    if (lineSpeedUsable(baud)) {
        return {};
    }
    return "The line speed " + std::to_string(baud) + " stored in " + configFile +
           " is not one a serial port runs at (" + std::to_string(kLowestLineSpeed) + " to " +
           std::to_string(kHighestLineSpeed) + " bits per second).";
}

}  // namespace brindle::link
