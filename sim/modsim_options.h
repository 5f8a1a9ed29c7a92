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
};

// nullopt and a message in error for a bad command line.
std::optional<ModsimConfig> parseModsimArguments(const std::vector<std::string>& args,
                                                 std::string& error);

std::string modsimUsage();

}  // namespace brindle::sim
