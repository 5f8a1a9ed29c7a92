#include "link/exchange.h"

#include <gtest/gtest.h>

#include "link/frames.h"
#include "link/receive_window.h"
#include "link/write_and_verify.h"
#include "tests/link/link_rig.h"

namespace brindle::link {
namespace {

using testing::hexBytes;
using testing::LinkRig;
using testing::toHex;

TEST(SendFrame, sendsOneByteAtATimeWithAYieldBeforeEach) {
    LinkRig rig;
    int yields = 0;
    rig.pump.setIdleHook([&] { ++yields; });
    sendFrame(rig.ctx, readFrame(3));
    EXPECT_EQ(rig.port.outputs().size(), 8u);
    EXPECT_GE(yields, 8);
    EXPECT_EQ(rig.receivedHex(), "23 41 05 52 00 03 9B 0D");
}

TEST(SendFrame, stopsEarlyWhenCancelIsPressedMidFrame) {
    LinkRig rig;
    int yields = 0;
    rig.pump.setIdleHook([&] {
        if (++yields == 4) {
            rig.ctx.CancelFlag = true;
        }
    });
    sendFrame(rig.ctx, writeFrame(3, 'Z'));
    EXPECT_EQ(rig.receivedHex(), "23 41 06");
}

TEST(SendFrame, sendsAtMostTheTwentyOneByteBuffer) {
    LinkRig rig;
    sendFrame(rig.ctx, std::string(30, 'x'));
    EXPECT_EQ(rig.module.received().size(), 21u);
}

TEST(SendFrame, waitsUntilAPacedPortHasSentEverything) {
    sim::ModuleOptions options;
    options.baud = 1200;
    LinkRig rig(options);
    const int64_t start = rig.pump.nowMicros();
    sendFrame(rig.ctx, readFrame(3));
    EXPECT_EQ(rig.port.OutBufferCount(), 0);
    EXPECT_EQ(rig.module.received().size(), 8u);
    EXPECT_GE(rig.pump.nowMicros() - start, 8 * 8333);
}

TEST(Settle, waitsExactlyTheCountOfWholeTicks) {
    for (const int16_t ticks : {3, 0}) {
        LinkRig rig;
        rig.runFor(12345);  // somewhere inside a tick
        const int64_t start = rig.pump.nowMicros();
        settle(rig.ctx, ticks);
        EXPECT_EQ(rig.ctx.TickCount, ticks);
        EXPECT_EQ(rig.pump.nowMicros() - start, ticks * 55000);
    }
}

TEST(Drain, appendsEverythingWaitingOneByteAtATimeWithInputLenOne) {
    LinkRig rig;
    rig.port.InputLen(1);
    rig.module.say("HELLO");
    rig.runFor(100);
    std::string text = "<";
    drain(rig.ctx, text);
    EXPECT_EQ(text, "<HELLO");
    EXPECT_EQ(rig.port.InBufferCount(), 0);
}

TEST(Drain, discardInputThrowsAwayWhatIsWaiting) {
    LinkRig rig;
    rig.port.InputLen(1);
    rig.module.say("NOISE");
    rig.runFor(100);
    discardInput(rig.ctx);
    EXPECT_EQ(rig.port.InBufferCount(), 0);
    EXPECT_EQ(rig.port.inputLen(), 0);
}

TEST(Probe, reportsATalkingControllerAsSoonAsItsFirstByteArrives) {
    LinkRig rig;
    rig.pump.schedule(rig.pump.nowMicros() + 120000, [&] { rig.module.say("X"); });
    EXPECT_TRUE(probeForInput(rig.ctx, 50));
    EXPECT_EQ(rig.ctx.TickCount, 2);
}

TEST(Probe, givesUpAfterItsTicksWhenTheControllerIsQuiet) {
    LinkRig rig;
    const int64_t start = rig.pump.nowMicros();
    EXPECT_FALSE(probeForInput(rig.ctx, 20));
    EXPECT_EQ(rig.pump.nowMicros() - start, 20 * 55000);
}

TEST(ReceiveTextLimit, textOfMoreThan512CharactersIsEmptied) {
    std::string atLimit(512, 'a');
    limitReceiveText(atLimit);
    EXPECT_EQ(atLimit.size(), 512u);
    std::string over(513, 'a');
    limitReceiveText(over);
    EXPECT_TRUE(over.empty());
}

TEST(SendRaw, wakeBytesGoOutInOneWrite) {
    LinkRig rig;
    sendRaw(rig.ctx, wakeBytes());
    ASSERT_EQ(rig.port.outputs().size(), 1u);
    EXPECT_EQ(toHex(rig.port.outputs()[0]), "0D 0D");
    EXPECT_EQ(rig.module.received(), hexBytes("0D 0D"));
}

// Bytes that stop leaving, as behind a line that takes nothing more, fail
// the port after a second and twice their line time (9 bytes at 38400 baud:
// 4688 us) without a byte leaving; the port's reason ends the operation.
TEST(WaitOutputDrained, outputThatNeverLeavesFailsThePortWithItsReason) {
    LinkRig rig;
    rig.port.setOutputStuck(true);
    const int64_t start = rig.pump.nowMicros();
    sendFrame(rig.ctx, writeFrame(3, 'Z'));
    const int64_t waited = rig.pump.nowMicros() - start;
    EXPECT_EQ(rig.port.failure(), "9 bytes do not leave the port");
    EXPECT_FALSE(rig.port.PortOpen());
    EXPECT_TRUE(rig.ctx.CancelFlag);
    EXPECT_TRUE(mustStop(rig.ctx));
    EXPECT_GT(waited, 1'004'688);
    EXPECT_LE(waited, 1'004'688 + 55'000);
    EXPECT_EQ(rig.module.received(), "");
}

// A slow line that keeps sending is no stalled one: 21 bytes at 50 baud take
// 4.2 s, but one leaves every 200 ms.
TEST(WaitOutputDrained, aSlowLineThatKeepsSendingIsWaitedForToTheEnd) {
    sim::ModuleOptions options;
    options.baud = 50;
    LinkRig rig(options);
    const int64_t start = rig.pump.nowMicros();
    sendFrame(rig.ctx, std::string(30, 'x'));
    EXPECT_EQ(rig.port.failure(), "");
    EXPECT_EQ(rig.module.received().size(), 21u);
    EXPECT_GE(rig.pump.nowMicros() - start, 21 * 200'000);
    EXPECT_FALSE(rig.ctx.CancelFlag);
}

// Cancel and closing the window end a wait for output that never leaves at
// once: nothing else has to fail first.
TEST(WaitOutputDrained, cancelOrClosingEndsTheWaitAtTheNextTick) {
    for (const bool closing : {false, true}) {
        LinkRig rig;
        rig.port.setOutputStuck(true);
        rig.pump.schedule(200'000, [&] {
            rig.ctx.CancelFlag = true;
            if (closing) {
                rig.shared.Closing.request();
            }
        });
        sendFrame(rig.ctx, readFrame(3));
        EXPECT_LE(rig.pump.nowMicros(), 200'000 + 55'000) << closing;
        EXPECT_EQ(rig.port.failure(), "") << closing;
        EXPECT_EQ(rig.port.OutBufferCount(), 8) << closing;
    }
}

// Two operations on two lines share only the program's signals: one line's
// Cancel, tick count and failed wake-up leave the other alone; the request to
// end the program stops both.
TEST(TwoLines, shareOnlyTheRequestToEnd) {
    LinkRig first;
    LinkRig other;
    // The second line's context, with the first line's program-wide signals.
    LinkContext second(other.receiving, other.pump, other.receive, other.operation, first.shared,
                       other.receiving.lines());
    second.StartComm = true;
    other.pump.setTickHandler([&] { timerTick(second, other.port); });

    first.ctx.CancelFlag = true;
    first.ctx.WakeUpUnanswered = true;
    first.ctx.TickCount = 7;
    std::string text;
    EXPECT_TRUE(WriteAndVerify(second, 3, 'Z', text).ok());
    EXPECT_FALSE(second.CancelFlag);
    EXPECT_EQ(toHex(other.module.received().substr(0, 9)), "23 41 06 57 00 03 5A FB 0D");
    EXPECT_EQ(first.ctx.TickCount, 7);
    EXPECT_TRUE(first.module.received().empty());

    const std::size_t sent = other.module.received().size();
    first.shared.Closing.request();
    EXPECT_TRUE(mustStop(first.ctx));
    EXPECT_TRUE(mustStop(second));
    EXPECT_FALSE(WriteAndVerify(second, 4, 'Z', text).ok());
    EXPECT_TRUE(second.CancelFlag);
    EXPECT_EQ(other.module.received().size(), sent);
}

}  // namespace
}  // namespace brindle::link
