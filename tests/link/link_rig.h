#pragma once
// A FakeLink with the helpers the link tests share.
#include <string>

#include "sim/fake_link.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {

struct LinkRig : sim::FakeLink {
    explicit LinkRig(sim::ModuleOptions options = {}) : sim::FakeLink(std::move(options)) {}

    // Lets n ticks of Timer1 pass.
    void runTicks(int n) {
        const int64_t until = pump.ticks() + n;
        while (pump.ticks() < until) {
            pump.waitForEvent();
        }
    }
    // Lets virtual time pass up to at least micros from now.
    void runFor(int64_t micros) {
        const int64_t until = pump.nowMicros() + micros;
        pump.schedule(until, [] {});
        while (pump.nowMicros() < until) {
            pump.waitForEvent();
        }
    }
    std::string receivedHex() const { return toHex(module.received()); }
};

}  // namespace brindle::testing
