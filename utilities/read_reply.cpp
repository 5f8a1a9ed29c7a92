#include "utilities/read_reply.h"

#include "base/numeric.h"

namespace brindle::utilities {

namespace {

constexpr std::string_view kReadMarker("M\x04R", 3);

}  // namespace

std::optional<uint8_t> readReplyValue(std::string_view received) {
    const std::size_t at = received.find(kReadMarker);
    if (at == std::string_view::npos || at + kReadMarker.size() >= received.size()) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(received[at + kReadMarker.size()]);
}

std::string fieldText(uint8_t value) {
    return base::decimalText(value, true);
}

}  // namespace brindle::utilities
