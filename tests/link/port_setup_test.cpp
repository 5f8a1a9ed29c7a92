#include <gtest/gtest.h>

#include <filesystem>

#include "link/com_port.h"
#include "link/exchange.h"
#include "link/initialize_port.h"
#include "link/receive_window.h"
#include "link/reply_wait.h"
#include "tests/link/link_rig.h"

namespace brindle::link {
namespace {

using testing::LinkRig;
using testing::TempDir;

// Write frame, read frame and reply (24 bytes of 10 bits) plus 20 ms.
TEST(ReplyWait, boundIsTheLineTimeOfThreeFramesPlusTheTurnaround) {
    struct Case {
        int32_t baud;
        int64_t micros;
    };
    for (const Case& c : std::vector<Case>{
             {38400, 6250 + 20000},
             {9600, 25000 + 20000},
             {1200, 200000 + 20000},
             {115200, 2084 + 20000},  // 2083.3 rounded up
             {0, 20000},              // speed unknown: the turnaround alone
             {-9600, 20000},
         }) {
        EXPECT_EQ(replyBoundMicros(c.baud), c.micros) << c.baud;
    }
}

TEST(ReplyWait, lastsTheSettleTicksOrMoreWhenTicksAreShorterThanTheBound) {
    struct Case {
        int16_t settle;
        int32_t baud;
        int interval;
        int16_t ticks;
    };
    for (const Case& c : std::vector<Case>{
             {1, 38400, 1000, 27},  // 26.25 ms of 1 ms ticks
             {1, 38400, 55000, 1},  // one start-up tick is longer than the bound
             {1, 38400, 100000, 1},
             {5, 38400, 1000, 27},
             {30, 38400, 1000, 30},       // more ticks asked than the bound needs
             {1, 1200, 100000, 3},        // 220 ms of 100 ms ticks
             {1, 50, 1000, 4820},         // 4.8 s on the line
             {32000, 9600, 1000, 30000},  // TickCount wraps past 30000
         }) {
        EXPECT_EQ(replyWaitTicks(c.settle, c.baud, c.interval), c.ticks)
            << c.settle << " ticks at " << c.baud << " baud, " << c.interval << " us";
    }
}

// A dangling link is chosen too, so that the open fails visibly.
TEST(ComPort, linkInTheDataFolderWinsOverTheSystemPortAndBelowOneIsNone) {
    TempDir dir;
    std::filesystem::create_symlink("/dev/null", dir.file("com2"));
    std::filesystem::create_symlink(dir.file("nothing-here"), dir.file("com3"));
    const struct {
        int16_t port;
        std::string device;
    } cases[] = {{2, dir.file("com2")},
                 {3, dir.file("com3")},
                 {1, "/dev/ttyS0"},
                 {4, "/dev/ttyS3"},
                 {0, ""},
                 {-3, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(resolveComPort(dir.path(), c.port), c.device) << c.port;
    }
}

TEST(ComPort, settingsTextIsTheSpeedAndNoParityEightDataOneStop) {
    EXPECT_EQ(settingsText(38400), "38400,n,8,1");
    EXPECT_EQ(settingsText(4800), "4800,n,8,1");
}

class InitializePortTest : public ::testing::Test {
  protected:
    InitializePortTest() {
        rig.port.setPortOpen(false);
        rig.ctx.StartComm = false;
    }
    TempDir dir;
    LinkRig rig;
};

TEST_F(InitializePortTest, doesNothingWhileStartCommIsFalse) {
    const int opensBefore = rig.port.opens();
    rig.ctx.settings.baud = 1200;
    InitializePort(rig.ctx);
    EXPECT_FALSE(rig.port.PortOpen());
    EXPECT_EQ(rig.port.opens(), opensBefore);
    EXPECT_EQ(rig.port.settings(), "38400,n,8,1");  // from the rig's own start
}

TEST_F(InitializePortTest, opensTheConfiguredPortAtTheConfiguredSpeed) {
    std::filesystem::create_symlink("/dev/null", dir.file("com3"));
    rig.ctx.StartComm = true;
    rig.ctx.settings = comSettings(3, 19200, dir.path(), {});
    InitializePort(rig.ctx);
    EXPECT_TRUE(rig.port.PortOpen());
    EXPECT_EQ(rig.port.portNumber(), 3);
    EXPECT_EQ(rig.port.device(), dir.file("com3"));
    EXPECT_EQ(rig.port.settings(), "19200,n,8,1");
}

TEST_F(InitializePortTest, closesAnOpenPortAndOpensItAgain) {
    rig.ctx.StartComm = true;
    InitializePort(rig.ctx);
    rig.module.say("JUNK");
    rig.runFor(1000);
    ASSERT_EQ(rig.port.InBufferCount(), 4);
    const int opensBefore = rig.port.opens();
    InitializePort(rig.ctx);
    EXPECT_TRUE(rig.port.PortOpen());
    EXPECT_EQ(rig.port.opens(), opensBefore + 1);
    EXPECT_EQ(rig.port.InBufferCount(), 0);  // closing dropped what was waiting
}

TEST_F(InitializePortTest, failedOpenLeavesThePortClosedWithoutComplaint) {
    rig.ctx.StartComm = true;
    rig.port.setOpenFails(true);
    EXPECT_NO_THROW(InitializePort(rig.ctx));
    EXPECT_FALSE(rig.port.PortOpen());
    EXPECT_NE(rig.port.describe().find("closed"), std::string::npos);
    // Writes to a closed port go nowhere.
    rig.port.Output("#");
    rig.runFor(1000);
    EXPECT_EQ(rig.module.received(), "");
}

TEST_F(InitializePortTest, speedClickBeforeAnyOperationLeavesThePortClosed) {
    // What a BaudOpt click does after storing the speed.
    rig.ctx.settings.baud = 9600;
    InitializePort(rig.ctx);
    EXPECT_FALSE(rig.port.PortOpen());
}

// How each operation takes the port: the opens that worked counted, and
// whether it is open afterwards.
TEST_F(InitializePortTest, openForOperationOpensOnFirstUseAndThenReopensOrStartsAClosedPort) {
    struct Case {
        const char* name;
        bool started;
        bool openBefore;
        bool openFails;
        Reopen reopen;
        int opens;
        bool openAfter;
    } cases[] = {
        {"first use opens once", false, false, false, Reopen::Always, 1, true},
        {"first use that fails stays closed", false, false, true, Reopen::Always, 0, false},
        {"the read-back on first use too", false, false, true, Reopen::WhenClosed, 0, false},
        {"an open port is reopened", true, true, false, Reopen::Always, 1, true},
        {"the read-back keeps an open port", true, true, false, Reopen::WhenClosed, 0, true},
        {"the read-back starts a closed port", true, false, false, Reopen::WhenClosed, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.ctx.StartComm = c.started;
        rig.port.setOpenFails(false);
        rig.port.setPortOpen(c.openBefore);
        rig.port.setOpenFails(c.openFails);
        const int before = rig.port.opens();
        openForOperation(rig.ctx, c.reopen);
        EXPECT_TRUE(rig.ctx.StartComm);
        EXPECT_EQ(rig.port.opens() - before, c.opens);
        EXPECT_EQ(rig.port.PortOpen(), c.openAfter);
    }
}

}  // namespace
}  // namespace brindle::link
