#include "tests/e2e/qt_link_fixture.h"

#include "link/initialize_port.h"
#include "link/receive_window.h"

namespace brindle::testing {

QCoreApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "brindle-e2e";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

QtLink::QtLink(std::vector<std::string> modsimOptions) {
    modsimOptions.insert(modsimOptions.end(), {"--link", dir.file("com1"), "--log",
                                               dir.file("received.bin"), "--eeprom", eepromFile()});
    module = std::make_unique<ModsimProcess>(modsimOptions);
    state.DataDir = dir.path();
    ctx.settings = link::comSettings(1, 38400, state.DataDir, state.ComChoices);
    pump.setTickHandler([this] { link::timerTick(ctx, port); });
}

void QtLink::open(int32_t baud) {
    ctx.settings = link::comSettings(1, baud, state.DataDir, state.ComChoices);
    ctx.StartComm = true;
    link::InitializePort(ctx);
}

void QtLink::stopModule() {
    module->stop();
}

std::string QtLink::log() const {
    return readBytes(dir.file("received.bin"));
}

}  // namespace brindle::testing
