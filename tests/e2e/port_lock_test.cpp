// One program per controller: two downloads through two names of one
// pseudo-terminal (the data folder's "com1" link and the terminal's own
// path). Exactly one runs; the other is refused before it sends a byte.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "store/databases.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/child_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {
namespace {

// The wire of one program: its wake-up (CRs) before the first frame, then
// nothing but whole frames ('#', 'A', a length n, n more bytes ending in CR).
// A second program's wake-up or frame in between breaks the sequence.
bool onlyOneSender(const std::string& wire) {
    std::size_t at = wire.find('#');
    if (at == std::string::npos || wire.find_first_not_of('\r') != at) {
        return false;
    }
    while (at < wire.size()) {
        if (at + 3 > wire.size() || wire[at] != '#' || wire[at + 1] != 'A') {
            return false;
        }
        const std::size_t next = at + 3 + static_cast<unsigned char>(wire[at + 2]);
        if (next > wire.size() || wire[next - 1] != '\r') {
            return false;
        }
        at = next;
    }
    return true;
}

TEST(PortLock, twoDownloadsThroughTwoNamesOfOneTerminalRunOneAndRefuseTheOther) {
    TempDir dir;
    addMacro(dir.path(), "FIRST", "1 MA 1000\r\nMACRO 2");
    store::ComboRecord c;
    c.Name = "LINE 1";
    c.NodeAddress = 9;
    c.Sequence[0] = 1;
    ASSERT_TRUE(store::writeCombo(dir.path(), 1, c));
    // A slow module, so that the first download is still running.
    ModsimProcess sim({"--link", dir.file("com1"), "--eeprom", dir.file("ee.bin"), "--log",
                       dir.file("wire.bin"), "--baud", "9600", "--write-time", "5"});
    const std::string real = std::filesystem::canonical(dir.file("com1")).string();
    ASSERT_NE(real, dir.file("com1"));

    ChildProcess first({BRINDLE_CLI_PATH, "download", "--data", dir.path(), "--combo", "LINE 1"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (readBytes(dir.file("wire.bin")).size() < 9 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::size_t before = readBytes(dir.file("wire.bin")).size();
    ASSERT_GE(before, 9u);

    ChildProcess second(
        {BRINDLE_CLI_PATH, "download", "--data", dir.path(), "--combo", "LINE 1", "--port", real});
    const ChildResult refused = second.waitAtMost(20000);
    const ChildResult ran = first.waitAtMost(20000);
    ASSERT_TRUE(sim.stop());

    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_NE(refused.err.find("the port " + real + " is in use by another program (process " +
                               std::to_string(first.pid()) + ")"),
              std::string::npos)
        << refused.err;
    // The module saw one download, whole.
    const std::string wire = readBytes(dir.file("wire.bin"));
    EXPECT_TRUE(onlyOneSender(wire)) << toHex(wire);
    EXPECT_EQ(toHex(readBytes(dir.file("ee.bin")).substr(0, 4)), "09 00 01 58");
}

}  // namespace
}  // namespace brindle::testing
