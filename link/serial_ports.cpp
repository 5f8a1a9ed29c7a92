#include "link/serial_ports.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace brindle::link {

namespace {

std::string canonicalOrEmpty(const std::string& path) {
    std::error_code ec;
    auto real = std::filesystem::canonical(path, ec);
    return ec ? std::string() : real.string();
}

}  // namespace

std::string byIdName(const std::string& path, const std::string& folder) {
    const std::string target = canonicalOrEmpty(path);
    std::error_code ec;
    if (target.empty() || !std::filesystem::is_directory(folder, ec)) {
        return {};
    }
    std::string found;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().string();
        // The smallest name, so the same one is chosen every time.
        if (canonicalOrEmpty(name) == target && (found.empty() || name < found)) {
            found = name;
        }
    }
    return found;
}

std::string portArgument(const std::string& value, const std::string& folder) {
    std::error_code ec;
    if (value.find('/') != std::string::npos ||
        std::filesystem::exists(std::filesystem::symlink_status(value, ec))) {
        return value;
    }
    const std::string byId = folder + "/" + value;
    if (std::filesystem::exists(std::filesystem::symlink_status(byId, ec))) {
        return byId;
    }
    return value;
}

std::string usbIdText(const SerialPortEntry& entry) {
    if (!entry.vendorId || !entry.productId) {
        return {};
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", *entry.vendorId, *entry.productId);
    return text;
}

bool entryMatches(const SerialPortEntry& entry, const std::string& chosen) {
    if (chosen.empty()) {
        return false;
    }
    if (chosen == entry.device || (!entry.byId.empty() && chosen == entry.byId)) {
        return true;
    }
    const std::string real = canonicalOrEmpty(chosen);
    return !real.empty() && real == canonicalOrEmpty(entry.device);
}

}  // namespace brindle::link
