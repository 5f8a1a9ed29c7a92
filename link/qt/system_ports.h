#pragma once
// The machine's serial ports as Qt Serial Port lists them, with their stable
// /dev/serial/by-id names, and the device chosen for each Com, which the
// window keeps in its settings file and brindle-cli reads from there.
#include <QSettings>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "link/serial_ports.h"

namespace brindle::link::qt {

// Sorted by device.
std::vector<SerialPortEntry> systemSerialPorts();

// The user's window settings (normally ~/.config/Brindle/brindle.ini).
std::unique_ptr<QSettings> windowSettings();

// "Ports/Com1" to "Ports/Com4": a device path, kProgramFolderChoice, or
// absent for no choice.
std::array<std::string, 4> readComChoices(QSettings& settings);
void writeComChoice(QSettings& settings, int portNumber, const std::string& choice);

}  // namespace brindle::link::qt
