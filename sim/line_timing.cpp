#include "sim/line_timing.h"

#include <algorithm>

namespace brindle::sim {

int64_t byteMicros(int32_t baud) {
    return baud > 0 ? (10'000'000 + baud - 1) / baud : 0;
}

std::vector<int64_t> handOverTimes(int64_t start, std::size_t count, int64_t step, int fifoBytes) {
    const auto group = static_cast<std::size_t>(std::max(fifoBytes, 1));
    std::vector<int64_t> times;
    times.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t last = std::min((i / group + 1) * group, count);
        times.push_back(start + static_cast<int64_t>(last) * step);
    }
    return times;
}

}  // namespace brindle::sim
