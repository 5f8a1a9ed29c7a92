#include "store/remembered.h"

#include "base/files.h"
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

std::optional<int16_t> rememberedPosition(const std::string& fileBytes) {
    if (fileBytes.size() < 4) {
        return std::nullopt;
    }
    return getInt16(fileBytes, 2);
}

std::optional<std::string> rememberedPath(const std::string& fileBytes) {
    if (fileBytes.size() < 2 * kLastPathWidth) {
        return std::nullopt;
    }
    return base::trimBlanks(fileBytes.substr(kLastPathWidth, kLastPathWidth));
}

std::optional<int16_t> readRememberedPosition(const std::string& path) {
    base::Result<std::string> bytes = base::readWholeFile(path);
    return bytes ? rememberedPosition(*bytes) : std::nullopt;
}

std::optional<std::string> readRememberedPath(const std::string& path) {
    base::Result<std::string> bytes = base::readWholeFile(path);
    return bytes ? rememberedPath(*bytes) : std::nullopt;
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
