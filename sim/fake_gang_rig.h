#pragma once
// One line of a download to several ports at once, on a fake module in its
// own virtual time, for tests. Made on the line's thread; when it goes, it
// leaves the module's E2PROM in the test's slot for that line (read only after
// the gang has been waited for).
#include <cstdint>
#include <vector>

#include "download/gang_download.h"
#include "link/receive_window.h"
#include "link/receiving_port.h"
#include "sim/fake_module.h"
#include "sim/virtual_pump.h"

namespace brindle::sim {

struct FakeGangRig : download::GangRig {
    // unplugAtMicros: the adapter goes away then (virtual time); negative:
    // never.
    FakeGangRig(link::SharedSignals& shared, download::DownloadView& view,
                link::ReceiveView& receive, const ModuleOptions& options,
                std::vector<uint8_t>& keep, int64_t unplugAtMicros = -1)
        : module(pump, options),
          port(pump, module),
          receiving(port, receive),
          context(receiving, pump, receive, view, shared, receiving.lines()),
          kept(keep) {
        port.setLineSpeed(options.baud);
        pump.setTickHandler([this] { link::timerTick(context, port); });
        context.StartComm = true;
        context.WakeUpLimit = 4;
        if (unplugAtMicros >= 0) {
            pump.schedule(unplugAtMicros, [this] { port.unplug(); });
        }
    }
    ~FakeGangRig() override { kept = module.eeprom(); }
    link::LinkContext& ctx() override { return context; }

    VirtualPump pump;
    FakeModule module;
    FakePort port;
    link::ReceivingPort receiving;
    link::LinkContext context;
    std::vector<uint8_t>& kept;
};

}  // namespace brindle::sim
