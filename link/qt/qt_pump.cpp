#include "link/qt/qt_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <utility>

namespace brindle::link::qt {

QtPump::QtPump(Clock clock) : m_setClock(std::move(clock)) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        runDueTicks();
        rest();
    });
    m_clock.start();
    restartTicks();
}

void QtPump::doEvents() {
    resume();
    if (nowMicros() - m_eventsAt >= kEventsEveryMicros) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_eventsAt = nowMicros();
    }
    runDueTicks();
}

void QtPump::waitForEventOrTicks(int ticks) {
    resume();
    wakeAtTick(std::max(ticks, 1));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_eventsAt = nowMicros();
    runDueTicks();
    rest();
}

void QtPump::setInterval(int milliseconds) {
    m_interval = milliseconds;
    restartTicks();
}

int QtPump::effectiveIntervalMicros() const {
    return std::max(m_interval, 1) * 1000;
}

void QtPump::restartTicks() {
    m_start = nowMicros();
    m_ticksRun = 0;
    rest();
}

void QtPump::setIdleTicks(bool needed) {
    m_idleTicks = needed;
    if (needed) {
        resume();
        runDueTicks();
    }
    rest();
}

int64_t QtPump::nowMicros() const {
    if (m_setClock) {
        return m_setClock();
    }
    return m_clock.nsecsElapsed() / 1000;
}

int64_t QtPump::dueTicks() const {
    return (nowMicros() - m_start) / effectiveIntervalMicros();
}

void QtPump::runDueTicks() {
    // Read afresh each time: a tick handler may restart the ticks.
    while (m_ticksRun < dueTicks()) {
        ++m_ticksRun;
        tick();
    }
}

void QtPump::resume() {
    if (!m_timer.isActive()) {
        m_ticksRun = std::max(m_ticksRun, dueTicks() - kIdleCatchUpTicks);
    }
}

void QtPump::rest() {
    if (m_idleTicks) {
        wakeAtTick(1);
    } else {
        m_timer.stop();
    }
}

void QtPump::wakeAtTick(int ahead) {
    const int64_t at = m_start + (m_ticksRun + ahead) * effectiveIntervalMicros();
    const int64_t micros = std::max<int64_t>(at - nowMicros(), 0);
    m_timer.start(static_cast<int>((micros + 999) / 1000));
}

}  // namespace brindle::link::qt
