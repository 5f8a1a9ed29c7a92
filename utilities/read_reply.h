#pragma once
// The module answers a location read with the frame '#' 'M' 04 'R' v cs CR.
// What was received may hold other text before it, and a reply that came too
// late for the read before, so the value is the byte after the last 'M' 04 'R'
// that has one.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindle::utilities {

// nullopt when the marker is missing or nothing follows it.
std::optional<uint8_t> readReplyValue(std::string_view received);

// A byte as the read-back fields show it: a blank and its decimal value (" 7").
std::string fieldText(uint8_t value);

}  // namespace brindle::utilities
