#include "link/receive_window.h"

#include <gtest/gtest.h>

#include "link/exchange.h"

#include "tests/link/link_rig.h"

namespace brindle::link {
namespace {

using testing::LinkRig;

// The receive window with the timer draining the port.
class ReceiveWindowTick : public ::testing::Test {
  protected:
    ReceiveWindowTick() { rig.shared.ReceiveWindowActive = true; }
    void arrive(const std::string& bytes) {
        rig.module.say(bytes);
        rig.runTicks(1);
    }
    LinkRig rig;
};

TEST_F(ReceiveWindowTick, shortLineIsDroppedAndItsLFStartsTheNextEntry) {
    arrive("OK\r\nVALUE 12\r\n");
    ASSERT_EQ(rig.receive.entries.size(), 1u);
    EXPECT_EQ(rig.receive.entries[0], "\nVALUE 12<cr>");
    EXPECT_EQ(rig.ctx.lines.ReceiveBuffer, "");
    EXPECT_EQ(rig.receive.selected, 0);
}

TEST_F(ReceiveWindowTick, characterAfterTheCRIsDroppedAndTheLastCRWaits) {
    arrive("ABC\rDEF\r");
    ASSERT_EQ(rig.receive.entries.size(), 1u);
    EXPECT_EQ(rig.receive.entries[0], "ABC<cr>");
    EXPECT_EQ(rig.ctx.lines.ReceiveBuffer, "\r");
}

TEST_F(ReceiveWindowTick, lonelyCharacterGoesAndItsCRWaitsForTheNextArrival) {
    arrive("A\r");
    EXPECT_TRUE(rig.receive.entries.empty());
    EXPECT_EQ(rig.ctx.lines.ReceiveBuffer, "\r");
    arrive("WXYZ\r\n");
    ASSERT_EQ(rig.receive.entries.size(), 1u);
    EXPECT_EQ(rig.receive.entries[0], "WXYZ<cr>");
    EXPECT_EQ(rig.ctx.lines.ReceiveBuffer, "");
}

// A CR LF pair split between two reads is still one line end; another
// character after a CR that ended the buffer stays.
TEST_F(ReceiveWindowTick, anLFThatArrivesAfterItsCRIsStillDropped) {
    arrive("ABCD\r");
    arrive("\nEFGH\r");
    arrive("IJKL\r");
    EXPECT_EQ(rig.receive.entries, (std::vector<std::string>{"ABCD<cr>", "EFGH<cr>", "IJKL<cr>"}));
}

// While an operation runs the tick only counts; the operation's reads show
// the lines instead, by the same rules, once each.
TEST_F(ReceiveWindowTick, theTickLeavesThePortToARunningOperation) {
    rig.ctx.OperationRunning = true;
    rig.ctx.lines.ReceiveWindowTicked = true;
    arrive("MINE\r\n");
    EXPECT_EQ(rig.port.InBufferCount(), 6);
    EXPECT_TRUE(rig.receive.entries.empty());
    std::string text;
    drain(rig.ctx, text);
    EXPECT_EQ(text, "MINE\r\n");
    EXPECT_EQ(rig.receive.entries, std::vector<std::string>{"MINE<cr>"});
    rig.runTicks(2);
    EXPECT_EQ(rig.receive.entries, std::vector<std::string>{"MINE<cr>"});
}

TEST_F(ReceiveWindowTick, lineWithoutCRWaitsInTheBuffer) {
    arrive("PARTIAL");
    EXPECT_TRUE(rig.receive.entries.empty());
    EXPECT_EQ(rig.ctx.lines.ReceiveBuffer, "PARTIAL");
    arrive(" LINE\r\n");
    ASSERT_EQ(rig.receive.entries.size(), 1u);
    EXPECT_EQ(rig.receive.entries[0], "PARTIAL LINE<cr>");
}

TEST_F(ReceiveWindowTick, listHoldsAtMost1002EntriesAndThe1003rdEmptiesIt) {
    std::string lines;
    for (int i = 0; i < 1002; ++i) {
        lines += "LINE\r\n";
    }
    arrive(lines);
    EXPECT_EQ(rig.receive.receivedLineCount(), 1002);
    EXPECT_EQ(rig.receive.selected, 1001);
    EXPECT_EQ(rig.receive.clears, 0);
    arrive("LAST\r\n");
    EXPECT_EQ(rig.receive.receivedLineCount(), 0);
    EXPECT_EQ(rig.receive.selected, -1);
    EXPECT_EQ(rig.receive.clears, 1);
    arrive("NEXT\r\n");
    EXPECT_EQ(rig.receive.entries, std::vector<std::string>{"NEXT<cr>"});
}

TEST_F(ReceiveWindowTick, inactiveWindowLeavesBytesInThePortButTicksCount) {
    rig.shared.ReceiveWindowActive = false;
    rig.ctx.TickCount = 0;
    arrive("HELLO\r\n");
    EXPECT_EQ(rig.port.InBufferCount(), 7);
    EXPECT_EQ(rig.ctx.TickCount, 1);
    EXPECT_TRUE(rig.receive.entries.empty());
}

TEST_F(ReceiveWindowTick, firstActiveTickOpensThePort) {
    rig.port.setPortOpen(false);
    rig.ctx.StartComm = false;
    const int opensBefore = rig.port.opens();
    rig.runTicks(1);
    EXPECT_TRUE(rig.ctx.StartComm);
    EXPECT_TRUE(rig.port.PortOpen());
    EXPECT_EQ(rig.port.opens(), opensBefore + 1);
}

TEST(ReceiveTimerTick, tickCountWrapsToZeroPast30000) {
    LinkRig rig;
    rig.ctx.TickCount = 29999;
    timerTick(rig.ctx, rig.port);
    EXPECT_EQ(rig.ctx.TickCount, 30000);
    timerTick(rig.ctx, rig.port);
    EXPECT_EQ(rig.ctx.TickCount, 0);
}

// viewbuffer on an operation's receive text.
class Viewbuffer : public ::testing::Test {
  protected:
    Viewbuffer() { rig.ctx.lines.ReceiveWindowTicked = true; }
    LinkRig rig;
};

// The line was shown when its bytes were read; viewbuffer only takes it out
// of the operation's text.
TEST_F(Viewbuffer, takesOnlyTheFirstLineOut) {
    std::string text = "ABCD\rEFGH\r";
    viewbuffer(rig.ctx.lines, text);
    EXPECT_EQ(text, "EFGH\r");
}

TEST_F(Viewbuffer, keepsTheCharacterAfterTheCR) {
    std::string text = "ABCD\r\nXY";
    viewbuffer(rig.ctx.lines, text);
    EXPECT_EQ(text, "\nXY");
}

TEST_F(Viewbuffer, dropsAShortLineWithoutShowingIt) {
    std::string text = "AB\rCDEF";
    viewbuffer(rig.ctx.lines, text);
    EXPECT_EQ(text, "CDEF");
    std::string last = "AB\r";
    viewbuffer(rig.ctx.lines, last);
    EXPECT_EQ(last, "\r");
}

TEST_F(Viewbuffer, doesNothingWithoutACR) {
    std::string text = "NO LINE YET";
    viewbuffer(rig.ctx.lines, text);
    EXPECT_EQ(text, "NO LINE YET");
}

TEST_F(Viewbuffer, doesNothingWhileCheck1IsUnchecked) {
    rig.ctx.lines.ReceiveWindowTicked = false;
    rig.shared.ReceiveWindowActive = true;  // the flag does not govern viewbuffer
    std::string text = "ABCD\r";
    viewbuffer(rig.ctx.lines, text);
    EXPECT_EQ(text, "ABCD\r");
}

TEST(Check1, checkingActivatesTheWindowEmptiesTheBufferAndSlowsTheTimer) {
    LinkRig rig;
    rig.ctx.lines.ReceiveBuffer = "OLD";
    switchReceiveWindow(rig.shared, rig.ctx.lines, rig.pump, true);
    EXPECT_TRUE(rig.shared.ReceiveWindowActive);
    EXPECT_TRUE(rig.ctx.lines.ReceiveWindowTicked);
    EXPECT_EQ(rig.ctx.lines.ReceiveBuffer, "");
    EXPECT_EQ(rig.pump.interval(), 100);
}

TEST(Check1, uncheckingKeepsShownLinesAndRunsTheTimerAtOneMillisecond) {
    LinkRig rig;
    rig.receive.entries = {"SHOWN<cr>"};
    switchReceiveWindow(rig.shared, rig.ctx.lines, rig.pump, true);
    rig.ctx.lines.ReceiveBuffer = "PART";
    switchReceiveWindow(rig.shared, rig.ctx.lines, rig.pump, false);
    EXPECT_FALSE(rig.shared.ReceiveWindowActive);
    EXPECT_FALSE(rig.ctx.lines.ReceiveWindowTicked);
    EXPECT_EQ(rig.ctx.lines.ReceiveBuffer, "PART");
    EXPECT_EQ(rig.receive.entries, std::vector<std::string>{"SHOWN<cr>"});
    EXPECT_EQ(rig.pump.interval(), 1);
    // A tick is the interval asked for, whatever the line speed.
    EXPECT_EQ(rig.pump.effectiveIntervalMicros(), 1000);
    const int64_t before = rig.pump.ticks();
    rig.runFor(10000);
    EXPECT_EQ(rig.pump.ticks() - before, 10);
}

TEST(Check1, timerStartsAt55Milliseconds) {
    LinkRig rig;
    EXPECT_EQ(rig.pump.interval(), kStartIntervalMs);
    EXPECT_EQ(rig.pump.effectiveIntervalMicros(), 55000);
}

TEST(ClearHistory, emptiesTheListAndTheBuffer) {
    LinkRig rig;
    rig.receive.entries = {"A<cr>", "B<cr>"};
    rig.ctx.lines.ReceiveBuffer = "PENDING";
    clearReceiveWindow(rig.ctx.lines, rig.receive);
    EXPECT_TRUE(rig.receive.entries.empty());
    EXPECT_EQ(rig.ctx.lines.ReceiveBuffer, "");
}

}  // namespace
}  // namespace brindle::link
