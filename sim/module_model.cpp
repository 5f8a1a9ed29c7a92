#include "sim/module_model.h"

#include <algorithm>
#include <cstdio>

#include "link/frames.h"

namespace brindle::sim {

namespace {

constexpr std::size_t kShortestBody = 3;
constexpr std::size_t kLongestBody = 18;

int locationOf(const std::string& body) {
    return static_cast<unsigned char>(body[3]) * 256 + static_cast<unsigned char>(body[4]);
}

}  // namespace

ModuleModel::ModuleModel(ModuleOptions options)
    : m_options(std::move(options)),
      m_random(m_options.seed),
      m_eeprom(kEepromSize, kErased),
      m_talking(m_options.chatterAtStart) {}

std::vector<Emission> ModuleModel::receive(uint8_t byte, int64_t nowMicros) {
    m_now = nowMicros;
    const char c = static_cast<char>(byte);
    m_received += c;
    if (m_inFrame) {
        m_frame += c;
        if (m_frame.size() >= 3) {
            const auto length = static_cast<unsigned char>(m_frame[2]);
            if (length < kShortestBody || length > kLongestBody) {
                ++m_badFrames;
                m_inFrame = false;
                m_previous = 0;
                return {};
            }
            if (m_frame.size() == length + 3u) {
                m_inFrame = false;
                m_previous = 0;
                const std::string body = m_frame.substr(1, length);
                if (m_frame.back() != '\r' ||
                    static_cast<unsigned char>(m_frame[length + 1]) != link::checksum(body)) {
                    ++m_badFrames;
                    return {};
                }
                ++m_frames;
                if (m_options.stopAfterFrames >= 0 && m_frames > m_options.stopAfterFrames) {
                    m_options.silent = true;
                    stopTalking();
                }
                std::vector<Emission> out;
                if (m_options.echo && !m_options.silent) {
                    out.push_back({m_frame, m_options.latencyMicros});
                }
                for (Emission& e : handleFrame(body)) {
                    out.push_back(std::move(e));
                }
                return out;
            }
        }
        return {};
    }
    if (c == '#') {
        m_inFrame = true;
        m_frame.assign(1, '#');
        m_previous = 0;
        return {};
    }
    const bool wake = c == '\r' && m_previous == '\r';
    m_previous = wake ? 0 : c;
    if (!wake || !m_talking || m_options.silent) {
        return {};
    }
    switch (m_options.syncReply) {
        case SyncReply::Frame:
            stopTalking();
            return answer(link::syncFrame());
        case SyncReply::YesLine:
            stopTalking();
            return answer(" Y\r");
        case SyncReply::None:
            break;
    }
    return {};
}

std::vector<Emission> ModuleModel::handleFrame(const std::string& body) {
    const std::size_t length = body.size();
    const char command = body[2];
    if (body[0] == link::kModuleAddress) {
        return {};  // our own frame coming back
    }
    if (command == 'W' && length == 6) {
        const int location = locationOf(body);
        ++m_writes;
        if (location < kEepromSize) {
            m_eeprom[location] = static_cast<uint8_t>(body[5]);
            m_written.push_back(location);
            m_storedAt = std::max(m_storedAt, m_now) + m_options.writeTimeMicros;
        }
        return {};
    }
    if (command == 'R' && length == 5) {
        const int location = locationOf(body);
        ++m_reads;
        if (location >= kEepromSize) {
            return {};
        }
        if ((m_options.dropEverySecondRead && m_reads % 2 == 0) ||
            m_options.dropReads.count(m_reads) > 0) {
            return {};
        }
        std::string reply = link::readReply(m_eeprom[location]);
        if (chance(m_options.badChecksumProbability)) {
            constexpr std::size_t kChecksumAt = 5;
            reply[kChecksumAt] ^=
                static_cast<char>(std::uniform_int_distribution<int>(1, 255)(m_random));
        }
        return answer(std::move(reply));
    }
    if (command == 'E' && length == 4 && body[3] == '2') {
        std::vector<Emission> out = answer(dump(), m_options.dumpDelayMicros);
        if (m_options.trickleIntervalMicros > 0 && !out.empty()) {
            m_talking = true;
            m_trickling = true;
        }
        return out;
    }
    if (command == 'S' && length == 4) {
        const auto block = static_cast<uint8_t>(body[3]);
        // Only the node named at location 0 runs blocks; a cancel may also
        // go to the module's own "A".
        const auto node = static_cast<uint8_t>(body[0]);
        const bool addressed = node == m_eeprom[state::kNodeAddressLocation] ||
                               (block == 0 && body[0] == link::kProgramAddress);
        if (!addressed) {
            return {};
        }
        if (block == 0) {
            stopTalking();
        } else if (m_options.runChatters) {
            startTalking();
        }
        return answer(link::blockConfirmation(block) + "\r\n");
    }
    return {};
}

std::vector<Emission> ModuleModel::answer(std::string bytes, int64_t extraDelay) {
    if (m_options.silent || chance(m_options.dropProbability)) {
        return {};
    }
    if (chance(m_options.corruptProbability) && !bytes.empty()) {
        std::uniform_int_distribution<std::size_t> at(0, bytes.size() - 1);
        std::uniform_int_distribution<int> flip(1, 255);
        bytes[at(m_random)] ^= static_cast<char>(flip(m_random));
    }
    if (m_options.corruptByteProbability > 0.0) {
        std::uniform_int_distribution<int> flip(1, 255);
        for (char& c : bytes) {
            if (chance(m_options.corruptByteProbability)) {
                c ^= static_cast<char>(flip(m_random));
            }
        }
    }
    const int64_t storing = std::max<int64_t>(m_storedAt - m_now, 0);
    return {Emission{std::move(bytes), storing + m_options.latencyMicros + extraDelay}};
}

std::string ModuleModel::dump() {
    ++m_dumps;
    std::string out = "DUMP\r";
    int end = kEepromSize - 1;
    while (end >= kMacroArea && m_eeprom[end] == kErased) {
        --end;
    }
    if (m_eeprom[3] != 'X' || end < kMacroArea) {
        return out + "BLANK\r";
    }
    for (int i = kMacroArea; i <= end; ++i) {
        out += 'R';
        const bool changed = m_dumps == 1 && i - kMacroArea == m_options.corruptDumpOffset;
        out += static_cast<char>(changed ? ~m_eeprom[i] : m_eeprom[i]);
    }
    return out;
}

std::string ModuleModel::chatterLine() {
    if (m_trickling) {
        // What a dump sends: the filler and a stored byte.
        return std::string("R") + static_cast<char>('A' + m_chatterCount++ % 26);
    }
    char text[32];
    std::snprintf(text, sizeof text, "STATUS %04d\r\n", m_chatterCount++ % 10000);
    return text;
}

void ModuleModel::stopTalking() {
    m_talking = false;
    m_trickling = false;
}

std::vector<int> ModuleModel::takeWrittenLocations() {
    std::vector<int> out;
    out.swap(m_written);
    return out;
}

bool ModuleModel::chance(double probability) {
    if (probability <= 0.0) {
        return false;
    }
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < probability;
}

}  // namespace brindle::sim
