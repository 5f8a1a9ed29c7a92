#pragma once
// The program's one notion of time. The receive timer's ticks call the tick
// handler (which advances TickCount); every wait of every operation blocks in
// waitForEvent until the next tick or arriving byte, or in waitForEventOrTicks
// until the tick it counts to, so no wait spins a core.
#include <cstdint>
#include <functional>

namespace brindle::link {

inline constexpr int64_t kIdleCatchUpTicks = 1000;

class Pump {
  public:
    virtual ~Pump() = default;

    // Runs whatever is pending (ticks that fell due, arrived bytes, window
    // events) and returns at once.
    virtual void doEvents() = 0;
    // Blocks until at least one tick or arriving byte, then runs what is pending.
    void waitForEvent() { waitForEventOrTicks(1); }
    // Blocks until a byte arrives or another event comes (a click, a failing
    // port), or until ticks more ticks have fallen due, whichever is first,
    // then runs what is pending, every tick that fell due included: a wait of
    // n ticks wakes the program once, not n times.
    virtual void waitForEventOrTicks(int ticks) = 0;

    // The timer interval asked for (55, 100 or 1 ms).
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    // The interval the ticks really have, in the timer's own unit.
    virtual int effectiveIntervalMicros() const = 0;
    // Starts the tick period afresh, so that a wait of n ticks that begins now
    // lasts n whole intervals rather than ending at a tick already under way.
    virtual void restartTicks() = 0;
    // A steady clock, for rates and estimates shown to the user; waits count
    // ticks instead.
    virtual int64_t nowMicros() const = 0;
    // Whether ticks must also run while nothing waits: the receive window
    // drains the port on them. When not, nothing wakes the program for them;
    // the ticks that fell due meanwhile run at the next yield or wait, the
    // last kIdleCatchUpTicks of them at most (every wait that counts ticks
    // starts its count afresh, so none of them is observed).
    virtual void setIdleTicks(bool needed) = 0;

    void setTickHandler(std::function<void()> handler) { m_tick = std::move(handler); }

  protected:
    void tick() {
        if (m_tick) {
            m_tick();
        }
    }

  private:
    std::function<void()> m_tick;
};

}  // namespace brindle::link
