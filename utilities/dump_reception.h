#pragma once
// Reception of the module's answer to a dump, one byte at a time.
//
// The module answers with a header line, then every stored byte of the macro
// area (locations from 3586 on) after a filler byte:
//     "DUMP" CR 'R' b0 f b1 f b2 ...    (the simulator sends 'R' as filler)
// or  "DUMP" CR "BLANK" CR              when no complete image is stored.
// The text is kept as it arrives, except that:
//   - from the first 'R' on, that 'R' and every second byte after it are
//     fillers and are dropped (by position, whatever their value);
//   - when a byte arrives while the text already ends in "MACRO" (any case),
//     the byte after it is written as a blank and its decimal value instead
//     of itself. The byte in between is the filler, so this hits the macro
//     number byte; the conversion is made even if that byte is then dropped;
//   - every CR is followed by an LF, so the text reads as lines.
// Each character carries the macro-area offset of the stored byte it came
// from: the n-th byte at a kept position after the first 'R' has offset
// n - 1. Header characters and characters made from dropped bytes (an LF
// after a CR filler, a converted filler) carry kNoOffset.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::utilities {

inline constexpr int32_t kNoOffset = -1;

// A received text and, per character, its macro-area offset or kNoOffset.
struct ReplyText {
    std::string text;
    std::vector<int32_t> offsets;
};

class DumpReception {
  public:
    void receive(uint8_t byte);
    void receive(std::string_view bytes);

    const std::string& text() const { return m_reply.text; }
    const std::vector<int32_t>& offsets() const { return m_reply.offsets; }
    const ReplyText& reply() const { return m_reply; }
    // Bytes received so far, and how many of them were stored bytes.
    int32_t receivedBytes() const { return m_position; }
    int32_t storedBytes() const { return m_nextOffset; }

  private:
    void append(char c, int32_t offset);
    bool endsInMacro() const;

    ReplyText m_reply;
    bool m_afterMacro = false;
    // 32 bits: a dump of the whole macro area is about twice 29182 bytes.
    int32_t m_position = 0;
    bool m_fillerSeen = false;
    int32_t m_nextDiscard = 0;
    int32_t m_nextOffset = 0;
};

}  // namespace brindle::utilities
