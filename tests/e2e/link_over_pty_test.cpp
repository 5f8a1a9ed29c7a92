// The QSerialPort and QTimer adapters against brindle-modsim on a
// pseudo-terminal: what the module receives is compared byte for byte.
#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "link/exchange.h"
#include "link/frames.h"
#include "link/initialize_port.h"
#include "link/receive_window.h"
#include "link/sync_with_module.h"
#include "link/write_and_verify.h"
#include "tests/e2e/qt_link_fixture.h"

namespace brindle::testing {
namespace {

int countOf(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

// The download's own settings: receive window off, 1 ms asked for.
void asDuringADownload(QtLink& q) {
    link::switchReceiveWindow(q.shared, q.ctx.lines, q.pump, false);
    q.port.InputLen(1);
}

TEST(LinkOverPty, portOpensTheLinkedTerminalAndSaysSo) {
    QtLink q;
    q.open();
    EXPECT_TRUE(q.port.PortOpen());
    EXPECT_EQ(q.port.describe(), "Com1: " + q.dir.file("com1") + " open at 38400");
}

TEST(LinkOverPty, missingDeviceLeavesThePortClosedWithItsReason) {
    QtLink q;
    std::filesystem::create_symlink(q.dir.file("no-such-device"), q.dir.file("com2"));
    q.ctx.settings = link::comSettings(2, 38400, q.state.DataDir, q.state.ComChoices);
    q.ctx.StartComm = true;
    link::InitializePort(q.ctx);
    asDuringADownload(q);
    EXPECT_FALSE(q.port.PortOpen());
    const std::string text = q.port.describe();
    EXPECT_EQ(text.rfind("Com2: " + q.dir.file("com2") + " closed (", 0), 0u) << text;
    // Writes to the closed port go nowhere and do not fail.
    std::string receiveText;
    q.ctx.RetryLimit = 2;
    EXPECT_FALSE(link::WriteAndVerify(q.ctx, 3, 'Z', receiveText).ok());
    q.stopModule();
    EXPECT_EQ(q.log(), "");
}

TEST(LinkOverPty, writeAndVerifyPutsExactlyTheFramesOnTheWire) {
    QtLink q;
    q.open();
    asDuringADownload(q);
    std::string text;
    const base::Status first = link::WriteAndVerify(q.ctx, 3, 'Z', text);
    const base::Status second = link::WriteAndVerify(q.ctx, 3586, 0x6A, text);
    EXPECT_TRUE(first.ok());
    EXPECT_TRUE(second.ok());
    EXPECT_FALSE(q.ctx.CancelFlag);
    ASSERT_TRUE(q.module->stop());
    EXPECT_EQ(toHex(q.log()),
              "23 41 06 57 00 03 5A FB 0D "
              "23 41 05 52 00 03 9B 0D "
              "23 41 05 52 00 03 9B 0D "
              "23 41 06 57 0E 02 6A 18 0D "
              "23 41 05 52 0E 02 A8 0D "
              "23 41 05 52 0E 02 A8 0D");
    const std::string eeprom = readBytes(q.eepromFile());
    ASSERT_EQ(eeprom.size(), 32768u);
    EXPECT_EQ(eeprom[3], 'Z');
    EXPECT_EQ(static_cast<unsigned char>(eeprom[3586]), 0x6A);
    EXPECT_EQ(static_cast<unsigned char>(eeprom[4]), 0xFF);
}

TEST(LinkOverPty, silentModuleGetsEveryWriteWithOneReadThenCancelFlag) {
    QtLink q({"--silent"});
    q.open();
    asDuringADownload(q);
    q.ctx.RetryLimit = 5;
    std::string text;
    EXPECT_FALSE(link::WriteAndVerify(q.ctx, 3, 'Z', text).ok());
    EXPECT_TRUE(q.ctx.CancelFlag);
    q.stopModule();
    std::string expected;
    for (int i = 0; i < 5; ++i) {
        expected += hexBytes("23 41 06 57 00 03 5A FB 0D 23 41 05 52 00 03 9B 0D");
    }
    EXPECT_EQ(q.log(), expected);
}

TEST(LinkOverPty, talkingModuleIsWokenAndSynchronised) {
    QtLink q({"--chatter", "--chatter-interval", "5"});
    q.open();
    asDuringADownload(q);
    std::string text;
    EXPECT_EQ(link::SyncWithModule(q.ctx, text), link::SyncOutcome::Answered);
    EXPECT_TRUE(q.ctx.Synched_Up);
    EXPECT_NE(text.find(link::syncFrame()), std::string::npos);
    q.stopModule();
    EXPECT_EQ(toHex(q.log()), "0D 0D");
}

TEST(LinkOverPty, receiveWindowShowsWhatTheTalkingModuleSays) {
    QtLink q({"--chatter", "--chatter-interval", "5"});
    q.ctx.settings.baud = 38400;
    link::switchReceiveWindow(q.shared, q.ctx.lines, q.pump, true);
    // The first active tick opens the port.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (q.receive.entries.size() < 3 && std::chrono::steady_clock::now() < deadline) {
        q.pump.waitForEvent();
    }
    EXPECT_TRUE(q.ctx.StartComm);
    ASSERT_GE(q.receive.entries.size(), 3u);
    EXPECT_EQ(q.receive.entries[1].substr(0, 7), "STATUS ");
    EXPECT_EQ(q.receive.entries[1].substr(11), "<cr>");
}

TEST(LinkOverPty, dumpSendsTheMacroAreaByteByByteAfterAnR) {
    QtLink q;
    q.open();
    asDuringADownload(q);
    std::string text;
    ASSERT_TRUE(link::WriteAndVerify(q.ctx, 3586, 'G', text).ok());
    ASSERT_TRUE(link::WriteAndVerify(q.ctx, 3587, '\r', text).ok());
    ASSERT_TRUE(link::WriteAndVerify(q.ctx, 3, 'X', text).ok());
    link::discardInput(q.ctx);
    link::sendFrame(q.ctx, link::dumpFrame());
    std::string reply;
    while (reply.size() < 9) {
        q.pump.waitForEvent();
        link::drain(q.ctx, reply);
    }
    EXPECT_EQ(reply, "DUMP\rRGR\r");
}

// With 1 ms asked for, the wait after a read ends when the reply is complete
// and otherwise lasts at least the frames' and the reply's line time plus the
// module's turnaround, so a module that paces the line both ways and takes
// time to store each byte is heard without rewrites (a few are allowed for a
// machine too busy to run the simulator on time).
TEST(LinkOverPty, pacedModulesThatTakeTimeToStoreNeedFewRewritesAtOneMillisecond) {
    const struct {
        int32_t baud;
        const char* writeTimeMs;
        int bytes;
        int rewritesAllowed;
    } cases[] = {{38400, "10", 100, 5}, {1200, "2", 4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baud);
        QtLink q({"--baud", std::to_string(c.baud), "--write-time", c.writeTimeMs});
        q.open(c.baud);
        asDuringADownload(q);
        EXPECT_EQ(q.pump.effectiveIntervalMicros(), 1000);
        std::string text;
        for (int i = 0; i < c.bytes; ++i) {
            ASSERT_TRUE(link::WriteAndVerify(q.ctx, static_cast<int16_t>(3586 + i),
                                             static_cast<uint8_t>(i * 7), text)
                            .ok())
                << "byte " << i;
        }
        q.stopModule();
        const int writes = countOf(q.log(), "#A\x06W");
        RecordProperty("writes at " + std::to_string(c.baud), writes);
        EXPECT_LE(writes, c.bytes + c.rewritesAllowed);
    }
}

TEST(LinkOverPty, eepromFileIsLoadedAtStart) {
    std::string image(32768, '\xFF');
    image[3] = 'X';
    image[0] = 7;
    QtLink first;
    first.stopModule();
    writeBytes(first.eepromFile(), image);
    // A second simulator on the same file answers with what it holds.
    ModsimProcess again({"--eeprom", first.eepromFile(), "--link", first.dir.file("com1")});
    first.open();
    asDuringADownload(first);
    link::sendFrame(first.ctx, link::readFrame(0));
    std::string reply = link::settleForReply(first.ctx, 5, "", "");
    link::drain(first.ctx, reply);
    EXPECT_EQ(toHex(reply), "23 4D 04 52 07 AA 0D");
}

double processCpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The window's own stack (QSerialPort, the Qt pump) when the far end of the
// terminal goes away in the middle of an operation: the hang-up fails the
// port with a reason, and the operation ends at its next wait instead of
// waiting on, or spinning on, a device that is gone. The cases: a write to a
// silent module (a thousand tries per byte would take half a minute), and the
// wait for a talking module's answer to the wake-up (no limit of its own).
TEST(LinkOverPty, aTerminalWhoseFarEndVanishesEndsTheOperationAtOnce) {
    for (const bool writing : {true, false}) {
        SCOPED_TRACE(writing ? "write and verify" : "wake-up");
        QtLink q(writing ? std::vector<std::string>{"--silent"}
                         : std::vector<std::string>{"--chatter", "--sync", "none",
                                                    "--chatter-interval", "5"});
        q.open();
        asDuringADownload(q);
        q.ctx.RetryLimit = 1000;
        QTimer::singleShot(150, [&] { q.module->kill(); });
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = processCpuSeconds();
        std::string text;
        if (writing) {
            EXPECT_FALSE(link::WriteAndVerify(q.ctx, 3, 'Z', text).ok());
        } else {
            EXPECT_EQ(link::SyncWithModule(q.ctx, text), link::SyncOutcome::PortFailed);
        }
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(took, 1.5);
        EXPECT_LT(processCpuSeconds() - cpuStart, 0.5);
        EXPECT_TRUE(q.ctx.CancelFlag);
        EXPECT_TRUE(link::mustStop(q.ctx));
        EXPECT_FALSE(q.port.PortOpen());
        EXPECT_EQ(q.port.describe(),
                  "Com1: " + q.dir.file("com1") + " closed (device removed or hung up)");
        // The next operation finds the port gone as well, and ends at once.
        link::reopenPort(q.ctx);
        EXPECT_FALSE(q.port.PortOpen());
        EXPECT_NE(q.port.failure(), "");
    }
}

// A speed no serial port runs at is refused when the port is configured:
// it stays closed and says why.
TEST(LinkOverPty, aSpeedNoPortRunsAtLeavesThePortClosedWithTheSpeedNamed) {
    for (const int32_t baud : {1, 49, 4'000'001}) {
        QtLink q;
        q.open(baud);
        EXPECT_FALSE(q.port.PortOpen()) << baud;
        EXPECT_EQ(q.port.describe(), "Com1: " + q.dir.file("com1") + " closed (line speed " +
                                         std::to_string(baud) + " is outside 50 to 4000000)");
    }
    QtLink q;
    q.open(50);
    EXPECT_TRUE(q.port.PortOpen());
}

}  // namespace
}  // namespace brindle::testing
