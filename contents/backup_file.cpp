#include "contents/backup_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/files.h"

namespace brindle::contents {

namespace {

constexpr int kData = 0x00;
constexpr int kEnd = 0x01;
constexpr int kLinearAddress = 0x04;

std::string hexByte(unsigned value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string record(int type, unsigned address, std::string_view data) {
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFFu) +
                   static_cast<unsigned>(type);
    std::string line = ":" + hexByte(static_cast<unsigned>(data.size())) + hexByte(address >> 8) +
                       hexByte(address) + hexByte(static_cast<unsigned>(type));
    for (char c : data) {
        line += hexByte(static_cast<uint8_t>(c));
        sum += static_cast<uint8_t>(c);
    }
    return line + hexByte(0x100u - (sum & 0xFFu)) + "\r\n";
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

base::Result<ModuleContents> refuse(int line, const std::string& why) {
    return base::Status::failure("line " + std::to_string(line) + ": " + why);
}

}  // namespace

bool isHexFileName(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".hex";
}

std::string toIntelHex(const ModuleContents& contents) {
    std::string text;
    int location = 0;
    while (location < state::kLocationCount) {
        if (!contents.known(location)) {
            ++location;
            continue;
        }
        const int start = location;
        std::string data;
        // A record holds a run of known bytes that stays within one 16-byte row.
        while (location < state::kLocationCount && contents.known(location) &&
               data.size() < kHexRecordBytes &&
               (location == start || location % static_cast<int>(kHexRecordBytes) != 0)) {
            data += static_cast<char>(contents.byte(location));
            ++location;
        }
        text += record(kData, static_cast<unsigned>(start), data);
    }
    return text + record(kEnd, 0, "");
}

base::Result<ModuleContents> fromIntelHex(std::string_view text) {
    ModuleContents contents;
    unsigned upper = 0;
    bool ended = false;
    int lineNumber = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue;
        }
        if (ended) {
            return refuse(lineNumber, "a record after the end record");
        }
        if (line[0] != ':') {
            return refuse(lineNumber, "a record must begin with ':'");
        }
        line.remove_prefix(1);
        if (line.size() % 2 != 0 || line.size() < 10) {
            return refuse(lineNumber, "a record must hold at least 5 bytes as pairs of hex digits");
        }
        std::vector<unsigned> bytes;
        for (std::size_t i = 0; i < line.size(); i += 2) {
            const int high = hexDigit(line[i]);
            const int low = hexDigit(line[i + 1]);
            if (high < 0 || low < 0) {
                return refuse(lineNumber,
                              "not a hex digit: '" + std::string(line.substr(i, 2)) + "'");
            }
            bytes.push_back(static_cast<unsigned>(high * 16 + low));
        }
        unsigned sum = 0;
        for (unsigned b : bytes) {
            sum += b;
        }
        if ((sum & 0xFFu) != 0) {
            return refuse(lineNumber, "wrong checksum");
        }
        const unsigned count = bytes[0];
        if (bytes.size() != count + 5) {
            return refuse(lineNumber, "the byte count " + std::to_string(count) +
                                          " does not match the record's length");
        }
        const unsigned address = bytes[1] * 256 + bytes[2];
        const int type = static_cast<int>(bytes[3]);
        if (type == kEnd) {
            if (count != 0) {
                return refuse(lineNumber, "an end record carries no data");
            }
            ended = true;
        } else if (type == kLinearAddress) {
            if (count != 2) {
                return refuse(lineNumber, "an extended linear address record carries 2 bytes");
            }
            upper = bytes[4] * 256 + bytes[5];
        } else if (type == kData) {
            const unsigned long first = (static_cast<unsigned long>(upper) << 16) + address;
            if (first + count > kRawImageSize) {
                return refuse(lineNumber,
                              "data past location " + std::to_string(state::kLastLocation));
            }
            for (unsigned i = 0; i < count; ++i) {
                const int location = static_cast<int>(first + i);
                if (contents.known(location)) {
                    return refuse(lineNumber,
                                  "location " + std::to_string(location) + " is given twice");
                }
                contents.set(location, static_cast<uint8_t>(bytes[4 + i]));
            }
        } else {
            return refuse(lineNumber, "record type " + hexByte(static_cast<unsigned>(type)) +
                                          " is not used here (only 00, 01 and 04)");
        }
    }
    if (!ended) {
        return base::Status::failure("the end record (type 01) is missing");
    }
    return contents;
}

std::string toRawImage(const ModuleContents& contents) {
    std::string bytes(kRawImageSize, static_cast<char>(kUnknownByte));
    for (int location = 0; location < state::kLocationCount; ++location) {
        bytes[static_cast<std::size_t>(location)] = static_cast<char>(contents.byte(location));
    }
    return bytes;
}

base::Result<ModuleContents> fromRawImage(std::string_view bytes) {
    if (bytes.size() != kRawImageSize) {
        return base::Status::failure("a raw image holds exactly " + std::to_string(kRawImageSize) +
                                     " bytes, this one " + std::to_string(bytes.size()));
    }
    ModuleContents contents;
    for (int location = 0; location < state::kLocationCount; ++location) {
        const auto value = static_cast<uint8_t>(bytes[static_cast<std::size_t>(location)]);
        if (value != kUnknownByte) {
            contents.set(location, value);
        }
    }
    return contents;
}

base::Status writeBackupFile(const std::string& path, const ModuleContents& contents) {
    return base::replaceFile(path,
                             isHexFileName(path) ? toIntelHex(contents) : toRawImage(contents));
}

base::Result<ModuleContents> readBackupFile(const std::string& path) {
    base::Result<std::string> text = base::readWholeFile(path);
    if (!text) {
        return base::Status::failure(text.message());
    }
    base::Result<ModuleContents> parsed =
        isHexFileName(path) ? fromIntelHex(*text) : fromRawImage(*text);
    if (!parsed) {
        return base::Status::failure(path + ": " + parsed.message());
    }
    if (!parsed->holdsCompleteDownload()) {
        return base::Status::failure(
            path + ": not a backup of a complete download (location 3 does not hold \"X\")");
    }
    return parsed;
}

}  // namespace brindle::contents
