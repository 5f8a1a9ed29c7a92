#include "link/qt/qt_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "link/tick_floor.h"

namespace brindle::link::qt {

QtPump::QtPump() {
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    apply();
}

void QtPump::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtPump::WaitForEvent() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtPump::SetInterval(int milliseconds) {
    m_interval = milliseconds;
    apply();
}

void QtPump::SetLineSpeed(int32_t baud) {
    m_baud = baud;
    apply();
}

int QtPump::EffectiveIntervalMicros() const {
    const int micros = effectiveIntervalMicros(m_interval, m_baud);
    return (micros + 999) / 1000 * 1000;
}

void QtPump::RestartTicks() {
    m_timer.start();
}

void QtPump::apply() {
    m_timer.start(EffectiveIntervalMicros() / 1000);
}

}  // namespace brindle::link::qt
