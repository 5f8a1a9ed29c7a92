#include "link/qt/system_ports.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace brindle::link::qt {

namespace {

QString comKey(int portNumber) {
    return QStringLiteral("Ports/Com%1").arg(portNumber);
}

}  // namespace

std::vector<SerialPortEntry> systemSerialPorts() {
    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry;
        entry.device = info.systemLocation().toStdString();
        entry.byId = byIdName(entry.device);
        entry.description = info.description().toStdString();
        entry.manufacturer = info.manufacturer().toStdString();
        entry.serialNumber = info.serialNumber().toStdString();
        if (info.hasVendorIdentifier()) {
            entry.vendorId = info.vendorIdentifier();
        }
        if (info.hasProductIdentifier()) {
            entry.productId = info.productIdentifier();
        }
        ports.push_back(std::move(entry));
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return a.device < b.device;
    });
    return ports;
}

std::unique_ptr<QSettings> windowSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Brindle"), QStringLiteral("brindle"));
}

std::array<std::string, 4> readComChoices(QSettings& settings) {
    std::array<std::string, 4> choices;
    for (int n = 1; n <= 4; ++n) {
        choices[static_cast<std::size_t>(n - 1)] =
            settings.value(comKey(n)).toString().toStdString();
    }
    return choices;
}

void writeComChoice(QSettings& settings, int portNumber, const std::string& choice) {
    if (choice.empty()) {
        settings.remove(comKey(portNumber));
    } else {
        settings.setValue(comKey(portNumber), QString::fromStdString(choice));
    }
    settings.sync();
}

}  // namespace brindle::link::qt
