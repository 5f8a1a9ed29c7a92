#include "sim/virtual_pump.h"

#include <algorithm>
namespace brindle::sim {

VirtualPump::VirtualPump() {
    m_nextTick = effectiveIntervalMicros();
}

void VirtualPump::doEvents() {
    if (m_hook) {
        m_hook();
    }
    runDue();
}

void VirtualPump::waitForEventOrTicks(int ticks) {
    if (m_hook) {
        m_hook();
    }
    int64_t next = m_nextTick + int64_t{std::max(ticks, 1) - 1} * effectiveIntervalMicros();
    if (!m_events.empty()) {
        next = std::min(next, m_events.begin()->first.first);
    }
    if (next > m_limit) {
        throw VirtualTimeLimit("virtual time limit reached while waiting");
    }
    m_now = std::max(m_now, next);
    runDue();
}

void VirtualPump::runDue() {
    while (!m_events.empty() && m_events.begin()->first.first <= m_now) {
        auto action = std::move(m_events.begin()->second);
        m_events.erase(m_events.begin());
        action();
    }
    const int64_t interval = effectiveIntervalMicros();
    while (m_nextTick <= m_now) {
        m_nextTick += interval;
        ++m_ticks;
        tick();
    }
}

void VirtualPump::setInterval(int milliseconds) {
    m_interval = milliseconds;
    restartTicks();
}

int VirtualPump::effectiveIntervalMicros() const {
    return std::max(m_interval, 1) * 1000;
}

void VirtualPump::restartTicks() {
    m_nextTick = m_now + effectiveIntervalMicros();
}

void VirtualPump::schedule(int64_t atMicros, std::function<void()> action) {
    m_events.emplace(std::make_pair(std::max(atMicros, m_now), m_sequence++), std::move(action));
}

}  // namespace brindle::sim
