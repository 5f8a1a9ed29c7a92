#include "link/sync_with_module.h"

#include <gtest/gtest.h>

#include "link/exchange.h"
#include "link/frames.h"
#include "link/write_and_verify.h"
#include "tests/link/link_rig.h"

namespace brindle::link {
namespace {

using testing::hexBytes;
using testing::LinkRig;

sim::ModuleOptions talking(sim::SyncReply reply) {
    sim::ModuleOptions options;
    options.chatterAtStart = true;
    options.syncReply = reply;
    return options;
}

TEST(SyncWithModule, quietControllerIsLeftAloneAfterFiftyTicks) {
    LinkRig rig;
    std::string text;
    const int64_t start = rig.pump.nowMicros();
    EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Quiet);
    EXPECT_EQ(rig.module.received(), "");
    EXPECT_EQ(rig.pump.nowMicros() - start, 50 * 55000);
    EXPECT_FALSE(rig.ctx.Synched_Up);
    EXPECT_TRUE(rig.operation.statusLines.empty());
}

// The answer that ends the wait: the module's sync frame, a blank, "Y" and a
// carriage return, or a sync frame of any address said by anyone. Cancel is
// left set: it ended the loop.
TEST(SyncWithModule, talkingControllerIsWokenAndEndsWithTheSyncFrame) {
    const struct {
        sim::SyncReply reply;
        const char* said;  // at 300 ms
        std::string answer;
    } cases[] = {{sim::SyncReply::Frame, "", syncFrame()},
                 {sim::SyncReply::YesLine, "", " Y\r"},
                 {sim::SyncReply::None, "#A\x03X?\r", "#A\x03X?\r"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::toHex(c.answer));
        LinkRig rig(talking(c.reply));
        rig.pump.schedule(300000, [&] { rig.module.say(c.said); });
        std::string text;
        EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Answered);
        EXPECT_EQ(rig.receivedHex(), "0D 0D");
        EXPECT_TRUE(rig.ctx.Synched_Up);
        EXPECT_TRUE(rig.ctx.CancelFlag);
        EXPECT_EQ(rig.operation.statusLines, std::vector<std::string>{"Downloading.."});
        EXPECT_NE(text.find(c.answer), std::string::npos);
    }
}

// Only Cancel ends the wait of a controller that never answers, whatever
// else it says: a pair that is not two after the first '#', or "Y" without
// the blank before it, is not an answer.
TEST(SyncWithModule, controllerThatNeverSyncsWaitsForCancel) {
    for (const bool nearMisses : {false, true}) {
        SCOPED_TRACE(nearMisses);
        LinkRig rig(talking(sim::SyncReply::None));
        if (nearMisses) {
            rig.pump.schedule(100000, [&] { rig.module.say("#\x03X\r"); });
            rig.pump.schedule(200000, [&] { rig.module.say("Y\r"); });
        }
        rig.pump.schedule(5000000, [&] { rig.ctx.CancelFlag = true; });
        std::string text;
        EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Cancelled);
        EXPECT_EQ(rig.receivedHex(), "0D 0D");
        EXPECT_GE(rig.pump.nowMicros(), 5000000);
        EXPECT_FALSE(rig.ctx.Synched_Up);
        EXPECT_LE(text.size(), 512u + 13u);  // capped while chatter piles up
    }
}

TEST(SyncWithModule, alreadySynchedSendsTheWakeBytesButDoesNotWait) {
    LinkRig rig(talking(sim::SyncReply::None));
    rig.ctx.Synched_Up = true;
    rig.ctx.CancelFlag = true;  // left by an earlier run: not a cancel of this one
    std::string text;
    EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Answered);
    EXPECT_EQ(rig.receivedHex(), "0D 0D");
    EXPECT_TRUE(rig.operation.statusLines.empty());
    EXPECT_FALSE(rig.ctx.CancelFlag);
}

TEST(SyncWithModule, shorterProbeOfBlockExecutionMissesALateTalker) {
    sim::ModuleOptions options;
    options.syncReply = sim::SyncReply::Frame;
    LinkRig late(options);
    late.pump.schedule(30 * 55000, [&] { late.module.startChatter(); });
    std::string text;
    EXPECT_EQ(SyncWithModule(late.ctx, text, 20), SyncOutcome::Quiet);
    EXPECT_EQ(late.module.received(), "");

    LinkRig again(options);
    again.pump.schedule(30 * 55000, [&] { again.module.startChatter(); });
    EXPECT_EQ(SyncWithModule(again.ctx, text, 50), SyncOutcome::Answered);
    EXPECT_EQ(again.receivedHex(), "0D 0D");
    EXPECT_TRUE(again.ctx.Synched_Up);
}

TEST(SyncWithModule, chatterLinesAreShownWhileCheck1IsTicked) {
    sim::ModuleOptions options = talking(sim::SyncReply::None);
    LinkRig rig(options);
    rig.ctx.lines.ReceiveWindowTicked = true;
    rig.pump.schedule(500000, [&] { rig.ctx.CancelFlag = true; });
    std::string text;
    EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Cancelled);
    ASSERT_FALSE(rig.receive.entries.empty());
    EXPECT_EQ(rig.receive.entries[0].substr(0, 7), "STATUS ");
}

// Counted wake-ups (the command line): each waits half a second and the
// line time of 64 bytes (at 38400 baud and 55 ms ticks: 10 ticks), then the
// wake-up goes again; after the last the controller is given up, Synched_Up
// stays clear and nothing more is sent by the operation.
TEST(SyncWithModule, countedWakeUpsAreSentAgainThenTheControllerIsGivenUp) {
    LinkRig rig(talking(sim::SyncReply::None));
    rig.ctx.WakeUpLimit = 4;
    std::string text;
    EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Unanswered);
    EXPECT_EQ(rig.receivedHex(), "0D 0D 0D 0D 0D 0D 0D 0D");
    EXPECT_TRUE(rig.ctx.WakeUpUnanswered);
    EXPECT_TRUE(rig.ctx.CancelFlag);
    EXPECT_FALSE(rig.ctx.Synched_Up);
    EXPECT_GE(rig.pump.nowMicros(), 4 * 10 * 55'000);
    EXPECT_LE(rig.pump.nowMicros(), 4 * 10 * 55'000 + 2 * 55'000);

    clearCancelFlag(rig.ctx);
    EXPECT_TRUE(rig.ctx.CancelFlag);
    std::string replies;
    EXPECT_FALSE(WriteAndVerify(rig.ctx, 3, 'Z', replies).ok());
    EXPECT_EQ(rig.receivedHex(), "0D 0D 0D 0D 0D 0D 0D 0D");
}

TEST(SyncWithModule, aLostAnswerIsMadeUpForByTheNextCountedWakeUp) {
    LinkRig rig(talking(sim::SyncReply::None));
    rig.ctx.WakeUpLimit = 4;
    rig.pump.setIdleHook([&] {
        if (rig.module.received() == "\r\r") {
            rig.module.options().syncReply = sim::SyncReply::Frame;
        }
    });
    std::string text;
    EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Answered);
    EXPECT_EQ(rig.receivedHex(), "0D 0D 0D 0D");
    EXPECT_TRUE(rig.ctx.Synched_Up);
    EXPECT_FALSE(rig.ctx.WakeUpUnanswered);
    EXPECT_NE(text.find(syncFrame()), std::string::npos);
}

// With "Receive Window Active" ticked, an answer that arrives as the first
// complete line of the receive text still ends the wait (viewbuffer used to
// take it to the receive window first, and the wait never ended); the receive
// window shows the chatter and the answer, each once, in order.
TEST(SyncWithModule, anAnswerThatIsTheFirstLineEndsTheWaitWithTheBoxTicked) {
    sim::ModuleOptions options = talking(sim::SyncReply::Frame);
    options.chatterIntervalMicros = 200000;
    LinkRig rig(options);
    rig.ctx.lines.ReceiveWindowTicked = true;
    rig.pump.schedule(20'000'000, [&] { rig.ctx.CancelFlag = true; });
    std::string text;
    EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Answered);
    EXPECT_LT(rig.pump.nowMicros(), 20'000'000);
    ASSERT_FALSE(rig.receive.entries.empty());
    EXPECT_EQ(rig.receive.entries.back(), hexBytes("23 4D 03 58 A8") + "<cr>");
    for (std::size_t i = 0; i + 1 < rig.receive.entries.size(); ++i) {
        EXPECT_EQ(rig.receive.entries[i], "STATUS " +
                                              std::string(4 - std::to_string(i).size(), '0') +
                                              std::to_string(i) + "<cr>");
    }
}

// Cancel during the quiet probe, during the wake-up's sending and during the
// synchronisation: the outcome says so, Synched_Up stays clear, and nothing
// can be written afterwards, even by a step that clears CancelFlag.
TEST(SyncWithModule, aCancelAnywhereInTheWakeUpLeavesNothingToBeWritten) {
    struct Case {
        const char* name;
        bool talks;
        int64_t cancelAt;
        const char* sent;
    };
    for (const Case& c :
         {Case{"quiet probe", false, 10 * 55000, ""}, Case{"talking probe", true, 1000, ""},
          Case{"synchronisation", true, 3'000'000, "0D 0D"}}) {
        SCOPED_TRACE(c.name);
        LinkRig rig(c.talks ? talking(sim::SyncReply::None) : sim::ModuleOptions{});
        rig.pump.schedule(c.cancelAt, [&] { rig.ctx.CancelFlag = true; });
        std::string text;
        EXPECT_EQ(SyncWithModule(rig.ctx, text), SyncOutcome::Cancelled);
        EXPECT_LT(rig.pump.nowMicros(), c.cancelAt + 2 * 55000);
        EXPECT_TRUE(rig.ctx.WakeUpCancelled);
        EXPECT_FALSE(rig.ctx.Synched_Up);
        clearCancelFlag(rig.ctx);
        std::string replies;
        EXPECT_FALSE(WriteAndVerify(rig.ctx, 3, 'Z', replies).ok());
        EXPECT_EQ(rig.receivedHex(), c.sent);
    }
}

// Slower lines wait longer for the answer: the 64 bytes take 12.8 s at 50
// baud; at 1 ms ticks the wait is counted in whole ticks.
TEST(SyncWithModule, theWaitForAnAnswerGrowsWithTheLineTime) {
    EXPECT_EQ(wakeUpAnswerTicks(38400, 1000), 517);
    EXPECT_EQ(wakeUpAnswerTicks(50, 1000), 13300);
    EXPECT_EQ(wakeUpAnswerTicks(38400, 55000), 10);
    EXPECT_EQ(wakeUpAnswerTicks(38400, 1'000'000), 1);
}

}  // namespace
}  // namespace brindle::link
