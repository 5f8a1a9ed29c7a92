#include "link/frames.h"

namespace brindle::link {

namespace {

std::string locationBytes(int16_t location) {
    auto raw = static_cast<uint16_t>(location);
    return {static_cast<char>(raw >> 8), static_cast<char>(raw & 0xFF)};
}

}  // namespace

uint8_t checksum(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) {
        sum += static_cast<unsigned char>(c);
    }
    return static_cast<uint8_t>(sum & 0xFF);
}

std::string frame(const std::string& body) {
    std::string out = "#";
    out += body;
    out += static_cast<char>(checksum(body));
    out += '\r';
    return out;
}

std::string writeFrame(int16_t location, uint8_t value) {
    std::string body{kProgramAddress, 0x06, 'W'};
    body += locationBytes(location);
    body += static_cast<char>(value);
    return frame(body);
}

std::string readFrame(int16_t location) {
    std::string body{kProgramAddress, 0x05, 'R'};
    body += locationBytes(location);
    return frame(body);
}

std::string readReply(uint8_t value) {
    return frame(std::string{kModuleAddress, 0x04, 'R', static_cast<char>(value)});
}

std::string syncFrame() {
    return frame(std::string{kModuleAddress, 0x03, 'X'});
}

std::string dumpFrame() {
    return frame(std::string{kProgramAddress, 0x04, 'E', '2'});
}

std::string startBlockFrame(uint8_t node, uint8_t block) {
    return frame(std::string{static_cast<char>(node), 0x04, 'S', static_cast<char>(block)});
}

std::string blockConfirmation(uint8_t block) {
    return std::string(" B ") + static_cast<char>((48 + block) & 0xFF);
}

std::string wakeBytes() {
    return "\r\r";
}

}  // namespace brindle::link
