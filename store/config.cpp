#include "store/config.h"

#include "base/files.h"
#include "base/numeric.h"
#include "store/library_lock.h"
#include "store/record_file.h"

namespace brindle::store {

std::string configPath(const std::string& dataDir) {
    return dataDir + kConfigFile;
}

namespace {

// Record 1 as the file holds it; when it cannot be read the record in memory
// stands in, so a writer never invents values for the fields it keeps.
void refreshFromFile(const std::string& dataDir, ConfigRecord& config) {
    if (auto bytes = readRecord(configPath(dataDir), kConfigRecordLength, 1)) {
        config = ConfigRecord::decode(*bytes);
    }
}

// The file is replaced whole (a temporary file, then a rename), so a crash
// leaves the old record or the new one, never a short or empty file. Bytes
// after the record stay. The caller holds the lock, so that two programs
// changing different fields at once keep both changes.
base::Status writeConfig(const std::string& dataDir, const ConfigRecord& config) {
    const std::string path = configPath(dataDir);
    std::string bytes = config.encode();
    if (auto old = base::readWholeFile(path); old && old->size() > kConfigRecordLength) {
        bytes += old->substr(kConfigRecordLength);
    }
    return base::replaceFile(path, bytes);
}

}  // namespace

base::Result<ConfigRecord> loadConfigAtStartup(const std::string& dataDir) {
    const std::string path = configPath(dataDir);
    if (auto bytes = readRecord(path, kConfigRecordLength, 1)) {
        return ConfigRecord::decode(*bytes);
    }
    ConfigRecord defaults;
    auto lock = LibraryLock::acquire(dataDir);
    if (!lock) {
        return lock.status();
    }
    // Another program may have written it meanwhile.
    if (auto bytes = readRecord(path, kConfigRecordLength, 1)) {
        return ConfigRecord::decode(*bytes);
    }
    if (base::Status written = writeConfig(dataDir, defaults); !written) {
        return written;
    }
    return defaults;
}

base::Status storeDelay(const std::string& dataDir, ConfigRecord& config, DelayField field,
                        std::string_view text, int16_t& moduleCopy) {
    auto lock = LibraryLock::acquire(dataDir);
    if (!lock) {
        return lock.status();
    }
    ConfigRecord updated = config;
    refreshFromFile(dataDir, updated);
    auto value = base::textToInt16(text);
    if (!value) {
        config = updated;
        return base::Status::failure("The delay must lie between -32768 and 32767; \"" +
                                     std::string(text) + "\" was not stored.");
    }
    (field == DelayField::Read ? updated.ReadDelayMs : updated.WriteDelayMs) = *value;
    base::Status status = writeConfig(dataDir, updated);
    if (status) {
        config = updated;
        moduleCopy = *value;
    }
    return status;
}

base::Status storePort(const std::string& dataDir, ConfigRecord& config, int portNumber,
                       int16_t& PostReadDelayMs, int16_t& PostWriteDelayMs) {
    auto lock = LibraryLock::acquire(dataDir);
    if (!lock) {
        return lock.status();
    }
    ConfigRecord updated = config;
    refreshFromFile(dataDir, updated);
    PostReadDelayMs = updated.ReadDelayMs;
    PostWriteDelayMs = updated.WriteDelayMs;
    updated.PortNumber = static_cast<int16_t>(portNumber);
    base::Status status = writeConfig(dataDir, updated);
    if (status) {
        config = updated;
    }
    return status;
}

base::Status storeBaud(const std::string& dataDir, ConfigRecord& config, std::string_view caption,
                       int16_t& PostReadDelayMs, int16_t& PostWriteDelayMs) {
    auto lock = LibraryLock::acquire(dataDir);
    if (!lock) {
        return lock.status();
    }
    ConfigRecord updated = config;
    refreshFromFile(dataDir, updated);
    PostReadDelayMs = updated.ReadDelayMs;
    PostWriteDelayMs = updated.WriteDelayMs;
    auto baud = base::textToInt32(caption);
    if (!baud) {
        return base::Status::failure("The speed \"" + std::string(caption) + "\" is not valid.");
    }
    updated.BaudRate = *baud;
    base::Status status = writeConfig(dataDir, updated);
    if (status) {
        config = updated;
    }
    return status;
}

}  // namespace brindle::store
