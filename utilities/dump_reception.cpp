#include "utilities/dump_reception.h"

#include "base/numeric.h"
#include "base/text.h"

namespace brindle::utilities {

namespace {

constexpr uint8_t kFiller = 'R';
constexpr std::string_view kMacroWord = "MACRO";

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

void DumpReception::receive(std::string_view bytes) {
    for (char c : bytes) {
        receive(static_cast<uint8_t>(c));
    }
}

void DumpReception::receive(uint8_t byte) {
    // Which bytes are fillers depends on positions only, so it is settled
    // first; the text changes below keep their order.
    ++m_position;
    bool dropped = false;
    if (byte == kFiller && !m_fillerSeen) {
        m_fillerSeen = true;
        m_nextDiscard = m_position + 2;
        dropped = true;
    }
    if (m_fillerSeen && m_position == m_nextDiscard) {
        m_nextDiscard = m_position + 2;
        dropped = true;
    }
    const int32_t offset = m_fillerSeen && !dropped ? m_nextOffset++ : kNoOffset;

    const bool converted = m_afterMacro;
    if (converted) {
        for (char c : base::decimalText(byte, true)) {
            append(c, offset);
        }
    }
    const bool afterMacro = endsInMacro();
    if (!dropped && !converted) {
        append(static_cast<char>(byte), offset);
    }
    m_afterMacro = afterMacro;
    if (byte == static_cast<uint8_t>(base::CR)) {
        append(base::LF, offset);
    }
}

void DumpReception::append(char c, int32_t offset) {
    m_reply.text += c;
    m_reply.offsets.push_back(offset);
}

bool DumpReception::endsInMacro() const {
    const std::string& text = m_reply.text;
    if (text.size() < kMacroWord.size()) {
        return false;
    }
    const std::size_t start = text.size() - kMacroWord.size();
    for (std::size_t i = 0; i < kMacroWord.size(); ++i) {
        if (upper(text[start + i]) != kMacroWord[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace brindle::utilities
