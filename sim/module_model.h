#pragma once
// The Macro Module's side of the link, without time: bytes come in, the bytes
// to send back come out, each with the delay after which they leave. Shared by
// the pseudo-terminal simulator and the in-process fake, so both answer alike.
//
// What the module does (see docs/simulator.md):
//   write  #A 06 W hi lo v cs CR   stores v, no answer
//   read   #A 05 R hi lo cs CR     answers #M 04 R v cs CR
//   dump   #A 04 E 2 cs CR         answers "DUMP" CR, then 'R' + byte for every
//                                  byte of the macro area, or "DUMP" CR "BLANK" CR
//   start  #n 04 S b cs CR         answers " B " digit CR LF when n is the node
//                                  address at location 0 (or n is 'A' and b = 0);
//                                  b = 0 stops a run
//   CR CR while talking            answers the sync frame #M 03 X A8 CR (or " Y" CR)
// A trickling module goes on after a dump with 'R' and a byte, for ever.
// A frame with a bad checksum or without its CR is ignored.
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "state/eeprom_layout.h"

namespace brindle::sim {

inline constexpr int kEepromSize = state::kLocationCount;
inline constexpr uint8_t kErased = 0xFF;
inline constexpr int kMacroArea = state::kMacroArea;

enum class SyncReply { Frame, YesLine, None };

struct ModuleOptions {
    // Turnaround: from the last byte of a frame to the first byte of the answer.
    int64_t latencyMicros = 200;
    // Extra pause before a dump starts, so the program has discarded its
    // input before the dump's first line arrives.
    int64_t dumpDelayMicros = 20000;
    // Line speed at which answers leave, one byte per 10 bits; 0 = at once.
    int32_t baud = 0;
    // Time to store a written byte; a frame that arrives meanwhile is
    // answered once the byte is stored.
    int64_t writeTimeMicros = 0;

    // Trouble.
    double dropProbability = 0.0;         // an answer is not sent
    double corruptProbability = 0.0;      // one byte of an answer is changed
    double corruptByteProbability = 0.0;  // each byte of an answer is changed
    double badChecksumProbability = 0.0;  // a read reply's checksum is changed
    bool silent = false;                  // never answers anything
    // The first dump sends the stored byte at this macro-area offset
    // changed (its bits inverted); later dumps send it right. Negative: off.
    int corruptDumpOffset = -1;
    // Once this many good frames have arrived, answers nothing more and
    // stops talking (as silent: writes are still stored); negative: never.
    int stopAfterFrames = -1;
    bool echo = false;                 // repeats every frame it receives before answering
    bool dropEverySecondRead = false;  // answers reads 1, 3, 5, ... only
    std::set<int> dropReads;           // read numbers (from 1) not answered
    bool chatterAtStart = false;       // talks from the start, as while a macro runs
    bool runChatters = false;          // a started block talks until a cancel
    int64_t chatterIntervalMicros = 20000;
    // A dump that never ends: after its bytes, 'R' and a byte every this
    // many microseconds, until a wake-up or a cancel stops it; 0 = off.
    int64_t trickleIntervalMicros = 0;
    SyncReply syncReply = SyncReply::Frame;
    uint32_t seed = 1;
};

struct Emission {
    std::string bytes;
    int64_t delayMicros = 0;  // after the byte that caused it
};

class ModuleModel {
  public:
    explicit ModuleModel(ModuleOptions options = {});

    // One byte from the line, at nowMicros on the caller's clock (which only
    // matters with a write time).
    std::vector<Emission> receive(uint8_t byte, int64_t nowMicros = 0);

    // While talking, the host asks for a line every talkIntervalMicros():
    // chatter, or the bytes of a dump that trickles on.
    bool talking() const { return m_talking; }
    void startTalking() {
        m_talking = true;
        m_trickling = false;
    }
    std::string chatterLine();
    int64_t talkIntervalMicros() const {
        return m_trickling ? m_options.trickleIntervalMicros : m_options.chatterIntervalMicros;
    }

    std::vector<uint8_t>& eeprom() { return m_eeprom; }
    const std::vector<uint8_t>& eeprom() const { return m_eeprom; }
    // Every byte received, in order.
    const std::string& received() const { return m_received; }
    // Locations written since the last call (for saving them at once).
    std::vector<int> takeWrittenLocations();

    int framesReceived() const { return m_frames; }
    int writesReceived() const { return m_writes; }
    int readsReceived() const { return m_reads; }
    int badFrames() const { return m_badFrames; }

    const ModuleOptions& options() const { return m_options; }
    ModuleOptions& options() { return m_options; }

  private:
    std::vector<Emission> handleFrame(const std::string& body);
    std::vector<Emission> answer(std::string bytes, int64_t extraDelay = 0);
    std::string dump();
    void stopTalking();
    bool chance(double probability);

    ModuleOptions m_options;
    std::mt19937 m_random;
    std::vector<uint8_t> m_eeprom;
    std::string m_received;
    std::string m_frame;  // the frame being received, from its '#'
    bool m_inFrame = false;
    char m_previous = 0;
    int64_t m_now = 0;
    int64_t m_storedAt = 0;  // when the last written byte is stored
    bool m_talking = false;
    bool m_trickling = false;
    int m_chatterCount = 0;
    int m_frames = 0;
    int m_writes = 0;
    int m_reads = 0;
    int m_badFrames = 0;
    int m_dumps = 0;
    std::vector<int> m_written;
};

}  // namespace brindle::sim
