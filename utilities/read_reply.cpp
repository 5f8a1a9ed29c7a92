#include "utilities/read_reply.h"

#include "base/numeric.h"

namespace brindle::utilities {

namespace {

constexpr std::string_view kReadMarker("M\x04R", 3);

}  // namespace

std::optional<uint8_t> readReplyValue(std::string_view received) {
    // The last marker that has its value after it: a reply that came too late
    // for the read before stands before this read's own.
    std::size_t end = received.size();
    while (true) {
        const std::size_t at = received.rfind(kReadMarker, end);
        if (at == std::string_view::npos) {
            return std::nullopt;
        }
        if (at + kReadMarker.size() < received.size()) {
            return static_cast<uint8_t>(received[at + kReadMarker.size()]);
        }
        if (at == 0) {
            return std::nullopt;
        }
        end = at - 1;
    }
}

std::string fieldText(uint8_t value) {
    return base::decimalText(value, true);
}

}  // namespace brindle::utilities
