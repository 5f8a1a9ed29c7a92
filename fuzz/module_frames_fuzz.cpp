// Arbitrary bytes on the line to the simulated Macro Module: its frame parser
// never goes wrong, stores only through whole write frames with a good
// checksum, and answers with whole frames or lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sim/module_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    brindle::sim::ModuleOptions options;
    options.seed = size > 0 ? data[0] : 1;
    options.dropProbability = size > 1 ? (data[1] % 4) / 10.0 : 0.0;
    options.corruptProbability = size > 2 ? (data[2] % 4) / 10.0 : 0.0;
    brindle::sim::ModuleModel module(options);
    std::size_t emitted = 0;
    for (std::size_t i = 0; i < size; ++i) {
        for (const auto& emission : module.receive(data[i])) {
            emitted += emission.bytes.size();
            if (emission.delayMicros < 0) {
                std::abort();
            }
        }
    }
    // A write frame is 9 bytes: no more writes than that allows.
    if (static_cast<std::size_t>(module.writesReceived()) > size / 9 ||
        module.eeprom().size() != static_cast<std::size_t>(brindle::sim::kEepromSize)) {
        std::abort();
    }
    // A dump is the largest answer: the whole macro area twice, and its header.
    if (emitted > (size + 1) * 2 * static_cast<std::size_t>(brindle::sim::kEepromSize)) {
        std::abort();
    }
    return 0;
}
