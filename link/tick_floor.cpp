#include "link/tick_floor.h"

#include <algorithm>

namespace brindle::link {

int tickFloorMicros(int32_t baud) {
    if (baud <= 0) {
        return 0;
    }
    const int64_t lineMicros = (int64_t{kFloorBytes} * 10 * 1'000'000 + baud - 1) / baud;
    return static_cast<int>(lineMicros + kTurnaroundMicros);
}

int effectiveIntervalMicros(int askedMilliseconds, int32_t baud) {
    const int asked = std::max(askedMilliseconds, 1) * 1000;
    return std::max(asked, tickFloorMicros(baud));
}

}  // namespace brindle::link
