// brindle-cli ports: the serial ports of this machine and the Com each is
// chosen for.
#include <filesystem>
#include <ostream>

#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/ports_listing.h"
#include "link/com_port.h"
#include "link/qt/system_ports.h"
#include "store/config.h"
#include "store/record_file.h"

namespace brindle::cli {
namespace {

constexpr const char* kHelp =
    "Usage: brindle-cli ports [--data DIR]\n"
    "\n"
    "Lists the serial ports of this machine: the device, its stable name in\n"
    "/dev/serial/by-id (which stays the same when a USB adapter is re-plugged),\n"
    "its description and manufacturer, the USB vendor:product and serial number,\n"
    "and the Com it is chosen for. Then each of Com1 to Com4 with the device it\n"
    "stands for: the choice made on the Setup tab (kept in the window's settings\n"
    "of this user), or without one DIR/comN when it exists, else /dev/ttyS(N-1).\n"
    "DIR is the data folder (default: the one 'brindle-cli --help' names). Any of the names\n"
    "shown can be given to --port.\n"
    "\n"
    "Exit status: 0, also when there are no serial ports; 2 for usage errors.\n";

}  // namespace

int runPorts(const Arguments& args, CommandContext& context) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        context.out << kHelp;
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty()) {
        return usageError(context, "ports",
                          !options.error.empty() ? options.error : "ports takes no arguments");
    }
    const std::string dir = asFolder(
        std::filesystem::absolute(options.dataFolder(context.dataDir)).lexically_normal().string());
    int configured = 0;
    if (auto bytes = store::readRecord(store::configPath(dir), store::kConfigRecordLength, 1)) {
        configured = store::ConfigRecord::decode(*bytes).PortNumber;
    }
    auto settings = link::qt::windowSettings();
    const std::array<std::string, 4> choices = link::qt::readComChoices(*settings);
    std::array<ComDevice, 4> coms;
    for (int n = 1; n <= 4; ++n) {
        const std::string& choice = choices[static_cast<std::size_t>(n - 1)];
        coms[static_cast<std::size_t>(n - 1)] = {choice, link::resolveComPort(dir, n, choice)};
    }
    context.out << portsListing(link::qt::systemSerialPorts(), coms,
                                settings->fileName().toStdString(), configured);
    return kExitOk;
}

}  // namespace brindle::cli
