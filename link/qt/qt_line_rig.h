#pragma once
// One line of a download to several ports at once, on the Qt serial port and
// timer: made on the line's own thread, where its event loop (made first)
// gives the thread the event dispatcher the port's notifiers and the pump's
// timer use, and which wake() interrupts from another thread.
#include <QEventLoop>

#include "download/gang_download.h"
#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"
#include "link/receiving_port.h"

class QAbstractEventDispatcher;

namespace brindle::link::qt {

class QtLineRig : public download::GangRig {
  public:
    // The line talks on settings.device; wake-ups are counted (wakeUpLimit)
    // and ticks fall every tickMs.
    QtLineRig(const LinkSettings& settings, int tickMs, int16_t wakeUpLimit, SharedSignals& shared,
              download::DownloadView& view, ReceiveView& receive);
    ~QtLineRig() override;

    LinkContext& ctx() override { return m_ctx; }
    void wake() override;

  private:
    QEventLoop m_loop;
    QtSerialPort m_port;
    QtPump m_pump;
    ReceivingPort m_receiving;
    LinkContext m_ctx;
    OperationScope m_operation;
    QAbstractEventDispatcher* m_dispatcher;
};

}  // namespace brindle::link::qt
