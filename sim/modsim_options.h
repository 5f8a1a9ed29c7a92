#pragma once
// Command line of brindle-modsim.
#include <optional>
#include <string>
#include <vector>

#include "sim/module_model.h"

namespace brindle::sim {

struct ModsimConfig {
    ModuleOptions module;
    std::string linkPath;    // a symbolic link to create to the terminal
    std::string eepromFile;  // loaded at start, saved after every write and at exit
    std::string logFile;     // every byte received, raw
    // Answer bytes handed to the terminal together, as a UART's receive FIFO
    // does (without its timeout: an answer's last bytes go when it ends).
    int fifoBytes = 8;
};

// nullopt and a message in error for a bad command line.
std::optional<ModsimConfig> parseModsimArguments(const std::vector<std::string>& args,
                                                 std::string& error);

std::string modsimUsage();

}  // namespace brindle::sim
