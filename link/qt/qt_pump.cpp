#include "link/qt/qt_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>

namespace brindle::link::qt {

QtPump::QtPump() {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        runDueTicks();
        wakeAtTick(1);
    });
    m_clock.start();
    RestartTicks();
}

void QtPump::DoEvents() {
    if (nowMicros() - m_eventsAt >= kEventsEveryMicros) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_eventsAt = nowMicros();
    }
    runDueTicks();
}

void QtPump::WaitForEventOrTicks(int ticks) {
    wakeAtTick(std::max(ticks, 1));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_eventsAt = nowMicros();
    runDueTicks();
    // While nothing waits, the receive window still needs every tick.
    wakeAtTick(1);
}

void QtPump::SetInterval(int milliseconds) {
    m_interval = milliseconds;
    RestartTicks();
}

int QtPump::EffectiveIntervalMicros() const {
    return std::max(m_interval, 1) * 1000;
}

void QtPump::RestartTicks() {
    m_start = nowMicros();
    m_ticksRun = 0;
    wakeAtTick(1);
}

int64_t QtPump::nowMicros() const {
    return m_clock.nsecsElapsed() / 1000;
}

void QtPump::runDueTicks() {
    // Read afresh each time: a tick handler may restart the ticks.
    while (m_ticksRun < (nowMicros() - m_start) / EffectiveIntervalMicros()) {
        ++m_ticksRun;
        tick();
    }
}

void QtPump::wakeAtTick(int ahead) {
    const int64_t at = m_start + (m_ticksRun + ahead) * EffectiveIntervalMicros();
    const int64_t micros = std::max<int64_t>(at - nowMicros(), 0);
    m_timer.start(static_cast<int>((micros + 999) / 1000));
}

}  // namespace brindle::link::qt
