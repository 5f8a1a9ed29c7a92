#include "link/qt/qt_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>

namespace brindle::link::qt {

QtPump::QtPump() {
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    m_clock.start();
    m_timer.start(m_interval);
}

void QtPump::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtPump::WaitForEvent() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtPump::SetInterval(int milliseconds) {
    m_interval = milliseconds;
    m_timer.start(EffectiveIntervalMicros() / 1000);
}

int QtPump::EffectiveIntervalMicros() const {
    return std::max(m_interval, 1) * 1000;
}

void QtPump::RestartTicks() {
    m_timer.start();
}

int64_t QtPump::nowMicros() const {
    return m_clock.nsecsElapsed() / 1000;
}

}  // namespace brindle::link::qt
