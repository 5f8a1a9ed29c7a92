#include "utilities/read_reply.h"

#include "base/numeric.h"
#include "link/frames.h"

namespace brindle::utilities {

namespace {

// '#' 'M' 04 'R': the reply frame up to its value.
constexpr std::string_view kReplyStart("#M\x04R", 4);
constexpr std::size_t kValueAt = kReplyStart.size();

}  // namespace

std::optional<uint8_t> readReplyValue(std::string_view received) {
    // The last reply decides: one that came too late for the read before
    // stands before this read's own, and when this read's own is broken the
    // late one must not stand in for it.
    const std::size_t at = received.rfind(kReplyStart);
    if (at == std::string_view::npos || at + kValueAt >= received.size()) {
        return std::nullopt;
    }
    const auto value = static_cast<uint8_t>(received[at + kValueAt]);
    const std::string whole = link::readReply(value);
    if (received.substr(at, whole.size()) != whole) {
        return std::nullopt;
    }
    return value;
}

std::string fieldText(uint8_t value) {
    return base::decimalText(value, true);
}

}  // namespace brindle::utilities
