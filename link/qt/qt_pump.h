#pragma once
// The Pump on the Qt event loop. Ticks fall at whole intervals from the last
// restart and are counted against a steady clock: a single-shot timer wakes
// the program only for the tick a wait counts to (and, while nothing waits,
// for every tick if the receive window needs them), and every tick that has
// fallen due runs whenever the program wakes. Waiting blocks in
// processEvents(WaitForMoreEvents), so no wait spins a core.
//
// doEvents asks the event loop at most every kEventsEveryMicros: each ask is
// a system call or more, nothing waits noticeably longer, and the bytes of a
// frame, handed over one at a time, then leave in one write.
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "link/pump.h"

namespace brindle::link::qt {

inline constexpr int64_t kEventsEveryMicros = 500;

class QtPump : public Pump {
  public:
    // Microseconds from any fixed start, never going back.
    using Clock = std::function<int64_t()>;

    // Starts ticking at once, at 55 ms, on a steady clock (or on the clock
    // given, which tests move on by hand instead of waiting).
    explicit QtPump(Clock clock = {});

    void doEvents() override;
    void waitForEventOrTicks(int ticks) override;
    void setInterval(int milliseconds) override;
    int interval() const override { return m_interval; }
    // Whole milliseconds: the timer has no finer unit.
    int effectiveIntervalMicros() const override;
    void restartTicks() override;
    int64_t nowMicros() const override;
    void setIdleTicks(bool needed) override;

  private:
    // Ticks that have fallen due since the last restart.
    int64_t dueTicks() const;
    // Runs every tick that has fallen due, in order.
    void runDueTicks();
    // Sets the timer for the tick that many ticks after the last one run.
    void wakeAtTick(int ahead);
    // Before a yield or a wait: after an idle spell without ticks, forgets
    // all but the last kIdleCatchUpTicks that fell due.
    void resume();
    // After a yield or a wait: the next tick if ticks run while idle.
    void rest();

    QTimer m_timer;
    QElapsedTimer m_clock;
    Clock m_setClock;
    int m_interval = 55;
    int64_t m_start = 0;                       // when the tick period last began
    int64_t m_ticksRun = 0;                    // ticks run since then
    int64_t m_eventsAt = -kEventsEveryMicros;  // when the event loop last ran
    bool m_idleTicks = true;
};

}  // namespace brindle::link::qt
