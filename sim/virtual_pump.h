#pragma once
// A Pump on virtual time for tests. Ticks fall at multiples of the effective
// interval; other events (bytes arriving from a fake module, output leaving)
// are scheduled at virtual times. waitForEvent jumps to the next one, so a
// test of many seconds of traffic runs in milliseconds and always alike.
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>

#include "link/pump.h"

namespace brindle::sim {

// Thrown when virtual time passes the limit: a wait that never ends becomes a
// failing test instead of a hang.
class VirtualTimeLimit : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class VirtualPump : public link::Pump {
  public:
    VirtualPump();

    void doEvents() override;
    void waitForEventOrTicks(int ticks) override;
    void setInterval(int milliseconds) override;
    int interval() const override { return m_interval; }
    int effectiveIntervalMicros() const override;
    void restartTicks() override;
    int64_t nowMicros() const override { return m_now; }
    // Virtual time costs nothing while idle: every tick runs.
    void setIdleTicks(bool) override {}

    int64_t ticks() const { return m_ticks; }
    // Runs action at virtual time atMicros (not before now).
    void schedule(int64_t atMicros, std::function<void()> action);
    // Called whenever the pump runs or waits, before anything else: lets a
    // test act at a chosen moment (press Cancel after some time, say).
    void setIdleHook(std::function<void()> hook) { m_hook = std::move(hook); }
    void setTimeLimitMicros(int64_t limit) { m_limit = limit; }

  private:
    void runDue();

    int m_interval = 55;
    int64_t m_now = 0;
    int64_t m_nextTick = 0;
    int64_t m_ticks = 0;
    int64_t m_limit = int64_t{3600} * 1'000'000;
    uint64_t m_sequence = 0;
    std::multimap<std::pair<int64_t, uint64_t>, std::function<void()>> m_events;
    std::function<void()> m_hook;
};

}  // namespace brindle::sim
