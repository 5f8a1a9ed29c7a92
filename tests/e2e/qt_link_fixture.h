#pragma once
// The program's side of an end-to-end test: the window's state, the QSerialPort
// and QTimer adapters, recording views, and the context over them, with the
// data folder's "com1" linked to a running brindle-modsim.
#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "link/link_context.h"
#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"
#include "sim/recording_views.h"
#include "state/main_state.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {

// One QCoreApplication for the whole test program.
QCoreApplication& qtApplication();

struct QtLink {
    // Starts brindle-modsim with options plus --link DATADIR/com1 and --log.
    explicit QtLink(std::vector<std::string> modsimOptions = {});

    // Opens Com1 at the speed given, as an operation does on first use.
    void open(int32_t baud = 38400);
    // Stops the simulator; afterwards log() holds everything it received.
    void stopModule();
    std::string log() const;
    std::string eepromFile() const { return dir.file("eeprom.bin"); }

    QCoreApplication& app = qtApplication();  // before any Qt object
    TempDir dir;
    std::unique_ptr<ModsimProcess> module;
    state::MainState state;
    link::SharedSignals shared;
    link::ReceivedLines lines;
    link::qt::QtSerialPort port;
    link::qt::QtPump pump;
    sim::RecordingReceiveView receive;
    sim::RecordingOperationView operation;
    link::LinkContext ctx{port, pump, receive, operation, shared, lines};
};

}  // namespace brindle::testing
