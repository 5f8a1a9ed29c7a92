#pragma once
// What the Macro Module is known to hold: a 32 KiB image of its E2PROM and,
// per location, whether the byte is known for certain. Nothing else is ever
// trusted: a byte read over a line without a checksum is known only where
// two readings agree, a location read only from a whole reply frame.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/eeprom_layout.h"

namespace brindle::contents {

// What an unknown location shows in a raw image, and what an erased one holds.
inline constexpr uint8_t kUnknownByte = 0xFF;

class ModuleContents {
  public:
    ModuleContents();

    bool known(int location) const;
    // The byte, or nothing when it is not known (or outside the E2PROM).
    std::optional<uint8_t> at(int location) const;
    // The byte as a raw image shows it: kUnknownByte where it is not known.
    uint8_t byte(int location) const;

    void set(int location, uint8_t value);
    void forget(int location);

    // Location 3 holds "X": a download was completed and nothing started since.
    bool holdsCompleteDownload() const;
    int knownCount() const;
    // One past the highest known location, 0 when nothing is known.
    int knownEnd() const;

  private:
    std::vector<uint8_t> m_bytes;
    std::vector<bool> m_known;
};

// The stored bytes a dump's raw answer carries, macro-area offset 0 first:
// the reception rule of the read-back (the first "R" and every second byte
// after it are fillers, dropped by position). Nothing when the answer holds
// no filler at all or says "BLANK" before it: no complete download.
std::optional<std::string> dumpStoredBytes(std::string_view raw);

// Two dump passes taken together: a macro-area byte becomes known only where
// both passes hold it and agree. A pass that is missing knows nothing.
void takeAgreeingBytes(ModuleContents& contents, const std::optional<std::string>& first,
                       const std::optional<std::string>& second);

}  // namespace brindle::contents
