// Arbitrary bytes as the browser's remembered files: a value is read only
// from a whole record 2, a path comes back without its blanks at either end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/remembered.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto position = brindle::store::rememberedPosition(bytes);
    if (position.has_value() != (size >= 4)) {
        std::abort();
    }
    const auto path = brindle::store::rememberedPath(bytes);
    if (path.has_value() != (size >= 120)) {
        std::abort();
    }
    if (path &&
        (path->size() > 60 || (!path->empty() && (path->front() == ' ' || path->back() == ' ')))) {
        std::abort();
    }
    // The drive rule never gives more than the entry holds.
    if (brindle::store::drivePath(bytes).size() > bytes.size()) {
        std::abort();
    }
    return 0;
}
