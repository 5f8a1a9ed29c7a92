#include "macrotext/hex4.h"

#include <cstdint>

#include "base/numeric.h"

namespace brindle::macrotext {

std::optional<std::string> hex4(double value) {
    std::optional<int32_t> whole = base::toInt32(value);
    if (!whole) {
        return std::nullopt;
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    uint32_t bits = static_cast<uint32_t>(*whole);
    std::string out(4, '0');
    for (int i = 3; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[bits & 0xF];
        bits >>= 4;
    }
    return out;
}

}  // namespace brindle::macrotext
