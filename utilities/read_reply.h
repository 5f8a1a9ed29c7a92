#pragma once
// The module answers a location read with the frame '#' 'M' 04 'R' v cs CR.
// What was received may hold other text before it (an echo of the read
// frame, chatter) and a reply that came too late for the read before, so the
// value is taken from the last reply in it, and only when that reply is a
// whole frame: the seven bytes, the checksum right and the CR in its place.
// A reply cut short or changed on the line gives no value, as no reply does.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindle::utilities {

// nullopt when no whole reply frame with a right checksum was received.
std::optional<uint8_t> readReplyValue(std::string_view received);

// A byte as the read-back fields show it: a blank and its decimal value (" 7").
std::string fieldText(uint8_t value);

}  // namespace brindle::utilities
