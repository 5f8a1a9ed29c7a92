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

std::optional<RememberedPattern> rememberedPattern(const std::string& fileBytes) {
    const std::optional<int16_t> position = rememberedPosition(fileBytes);
    if (!position) {
        return std::nullopt;
    }
    RememberedPattern pattern{*position, {}};
    if (*position == -1) {
        pattern.typed = fileBytes.substr(4);
    }
    return pattern;
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

std::optional<RememberedPattern> readRememberedPattern(const std::string& path) {
    base::Result<std::string> bytes = base::readWholeFile(path);
    return bytes ? rememberedPattern(*bytes) : std::nullopt;
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

// The whole file is rewritten, as its length follows the typed text.
base::Status writeRememberedPattern(const std::string& path, const RememberedPattern& pattern) {
    if (base::Status s = ensureFile(path); !s) {
        return s;
    }
    base::Result<std::string> before = base::readWholeFile(path);
    if (!before) {
        return before.status();
    }
    std::string bytes(2, '\0');
    putInt16(bytes, 0, pattern.position);
    std::string content = before->empty() ? bytes : before->substr(0, 2);
    content.resize(2, '\0');
    content += bytes;
    if (pattern.position == -1) {
        content += pattern.typed;
    }
    return base::replaceFile(path, content);
}

base::Status writeRememberedPath(const std::string& path, const std::string& folder) {
    return writeRememberedRecord(path, kLastPathWidth, base::fixedWidth(folder, kLastPathWidth));
}

}  // namespace brindle::store
