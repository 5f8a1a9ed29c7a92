#pragma once
// The Pump on a QTimer and the Qt event loop. A tick is the timer's timeout;
// waiting blocks in processEvents(WaitForMoreEvents), which returns after the
// next tick, arriving byte or window event, so no wait spins a core.
#include <QElapsedTimer>
#include <QTimer>

#include "link/pump.h"

namespace brindle::link::qt {

class QtPump : public Pump {
  public:
    // Starts ticking at once, at 55 ms.
    QtPump();

    void DoEvents() override;
    void WaitForEvent() override;
    void SetInterval(int milliseconds) override;
    int Interval() const override { return m_interval; }
    // Whole milliseconds: the timer has no finer unit.
    int EffectiveIntervalMicros() const override;
    void RestartTicks() override;
    int64_t nowMicros() const override;

    // At shutdown.
    void stop() { m_timer.stop(); }

  private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_interval = 55;
};

}  // namespace brindle::link::qt
