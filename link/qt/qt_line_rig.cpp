#include "link/qt/qt_line_rig.h"

#include <QAbstractEventDispatcher>
#include <QThread>

#include "link/receive_window.h"

namespace brindle::link::qt {

QtLineRig::QtLineRig(const LinkSettings& settings, int tickMs, int16_t wakeUpLimit,
                     SharedSignals& shared, download::DownloadView& view, ReceiveView& receive)
    : m_receiving(m_port, receive),
      m_ctx(m_receiving, m_pump, receive, view, shared, m_receiving.lines()),
      m_operation(m_ctx),
      m_dispatcher(QThread::currentThread()->eventDispatcher()) {
    m_ctx.settings = settings;
    m_ctx.WakeUpLimit = wakeUpLimit;
    m_pump.setTickHandler([this] { timerTick(m_ctx, m_port); });
    m_pump.setInterval(tickMs);
}

QtLineRig::~QtLineRig() {
    m_port.setPortOpen(false);
}

void QtLineRig::wake() {
    if (m_dispatcher != nullptr) {
        m_dispatcher->wakeUp();
    }
}

}  // namespace brindle::link::qt
