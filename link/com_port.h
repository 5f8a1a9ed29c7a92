#pragma once
// Which device "Com" n is on this machine, and the settings text of a speed.
#include <array>
#include <cstdint>
#include <string>

namespace brindle::link {

// dataDir + "com" + n when that exists (a link to a device or a pseudo-terminal;
// a dangling link counts, so the open fails with its reason), otherwise the
// platform's n-th serial port: /dev/ttyS(n-1). Empty for n below 1.
std::string resolveComPort(const std::string& dataDir, int portNumber);

// The device the user chose for a Com, remembered with the window's
// settings: empty for no choice (the rule above), kProgramFolderChoice for
// "com" + n in the data folder whether it exists or not, otherwise the
// device's path (a /dev/serial/by-id name when the system gives one).
inline constexpr const char* kProgramFolderChoice = "program-folder";
std::string resolveComPort(const std::string& dataDir, int portNumber, const std::string& choice);

// The choice remembered for a Com (1 to 4), or empty.
std::string comChoice(const std::array<std::string, 4>& choices, int portNumber);

// The baud rate in decimal without blanks followed by ",n,8,1".
std::string settingsText(int32_t baud);

// The line speeds a serial port is opened at. Slower ones make every timed
// wait absurd (a reply bound of minutes at 1 baud); faster ones no UART runs.
inline constexpr int32_t kLowestLineSpeed = 50;
inline constexpr int32_t kHighestLineSpeed = 4'000'000;
bool lineSpeedUsable(int32_t baud);

// Why the speed stored in the configuration file cannot be used, naming the
// file and the value; empty when it can.
std::string storedSpeedProblem(const std::string& configFile, int32_t baud);

}  // namespace brindle::link
