// brindle-cli ports: the serial ports and the Com each is chosen for, read
// from the window's settings of this user.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/ports_listing.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {
namespace {

const std::array<cli::ComDevice, 4> kComs = {
    {{"", "/dev/ttyS0"},
     {"/dev/serial/by-id/usb-A", "/dev/serial/by-id/usb-A"},
     {"program-folder", "/data/com3"},
     {"", "/dev/ttyS3"}}};

TEST(PortsListing, noPortsIsSaidAndTheComsAreStillShown) {
    EXPECT_EQ(cli::portsListing({}, kComs, "/home/u/.config/Brindle/brindle.ini", 2),
              "No serial ports found.\n"
              "\n"
              "The Coms (choices from /home/u/.config/Brindle/brindle.ini, the window's settings; "
              "the data folder's configured port is Com2):\n"
              "Com1: /dev/ttyS0 (no choice made: com1 in the data folder when it exists, else "
              "/dev/ttyS0)\n"
              "Com2: /dev/serial/by-id/usb-A (chosen)\n"
              "Com3: /data/com3 (chosen: com3 in the program's folder)\n"
              "Com4: /dev/ttyS3 (no choice made: com4 in the data folder when it exists, else "
              "/dev/ttyS3)\n");
}

TEST(PortsListing, aPortShowsItsNamesIdsAndTheComsChosenForIt) {
    link::SerialPortEntry adapter{
        "/dev/ttyUSB0", "/dev/serial/by-id/usb-A", "USB UART", "Maker", "A1", 0x0403, 0x6001};
    link::SerialPortEntry plain{"/dev/ttyS0", "", "", "", "", std::nullopt, std::nullopt};
    const std::string text = cli::portsListing({plain, adapter}, kComs, "x.ini", 0);
    EXPECT_EQ(text.substr(0, text.find("\n\n") + 1),
              "/dev/ttyS0\n"
              "  chosen for:   Com1 (no choice made; the default rule)\n"
              "/dev/ttyUSB0\n"
              "  by-id name:   /dev/serial/by-id/usb-A\n"
              "  description:  USB UART\n"
              "  manufacturer: Maker\n"
              "  USB id:       0403:6001\n"
              "  serial:       A1\n"
              "  chosen for:   Com2\n");
}

TEST(CliPorts, readsTheWindowsChoicesAndExitsZero) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("cfg/Brindle"));
    writeBytes(dir.file("cfg/Brindle/brindle.ini"), "[Ports]\nCom3=program-folder\n");
    ChildProcess cli({BRINDLE_CLI_PATH, "ports", "--data", dir.path()},
                     {{"XDG_CONFIG_HOME=" + dir.file("cfg")}, {}, {}});
    const ChildResult r = cli.waitAtMost(20000);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Com3: " + dir.file("com3") + " (chosen: com3 in the program's folder)\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("The Coms (choices from " + dir.file("cfg/Brindle/brindle.ini")),
              std::string::npos)
        << r.out;
}

}  // namespace
}  // namespace brindle::testing
