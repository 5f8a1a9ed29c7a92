#include "store/remembered.h"

#include "base/text.h"
#include "store/byte_codec.h"
#include "store/record_file.h"

namespace brindle::store {
namespace {

base::Status writeRememberedRecord(const std::string& path, std::size_t length,
                                   const std::string& bytes) {
    if (recordCount(path, length) == 0 && fileLength(path).value_or(0) == 0) {
        if (base::Status s = writeRecord(path, length, 1, bytes); !s) {
            return s;
        }
    }
    return writeRecord(path, length, 2, bytes);
}

}  // namespace

std::optional<int16_t> readRememberedPosition(const std::string& path) {
    if (recordCount(path, 2) < 2) {
        return std::nullopt;
    }
    auto bytes = readRecord(path, 2, 2);
    if (!bytes) {
        return std::nullopt;
    }
    return getInt16(*bytes, 0);
}

std::optional<std::string> readRememberedPath(const std::string& path) {
    if (recordCount(path, kLastPathWidth) < 2) {
        return std::nullopt;
    }
    auto bytes = readRecord(path, kLastPathWidth, 2);
    if (!bytes) {
        return std::nullopt;
    }
    return base::trimBlanks(*bytes);
}

std::string drivePath(const std::string& driveText) {
    const std::size_t bracket = driveText.find('[');
    return bracket != std::string::npos && bracket > 0 ? driveText.substr(0, bracket) : driveText;
}

base::Status writeRememberedPosition(const std::string& path, int16_t value) {
    std::string bytes(2, '\0');
    putInt16(bytes, 0, value);
    return writeRememberedRecord(path, 2, bytes);
}

base::Status writeRememberedPath(const std::string& path, const std::string& folder) {
    return writeRememberedRecord(path, kLastPathWidth, base::fixedWidth(folder, kLastPathWidth));
}

}  // namespace brindle::store
