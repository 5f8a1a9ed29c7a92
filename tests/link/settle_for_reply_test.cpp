#include <gtest/gtest.h>

#include "link/exchange.h"
#include "link/frames.h"
#include "tests/link/link_rig.h"

namespace brindle::link {
namespace {

using testing::hexBytes;
using testing::LinkRig;
using testing::toHex;

constexpr const char* kReplyZ = "23 4D 04 52 5A FD 0D";

// A rig at 38400 baud (10 bits a byte: 261 us) with 1 ms ticks, as a
// download runs once "Receive Window Active" has been unticked.
struct PacedRig : LinkRig {
    explicit PacedRig(sim::ModuleOptions options = {}) : LinkRig(withSpeed(std::move(options))) {
        ctx.settings.baud = 38400;
        pump.setInterval(1);
    }
    static sim::ModuleOptions withSpeed(sim::ModuleOptions options) {
        options.baud = 38400;
        return options;
    }
};

sim::ModuleOptions silentModule() {
    sim::ModuleOptions options;
    options.silent = true;
    return options;
}

TEST(SettleForReply, endsWhenTheReplysLastByteArrives) {
    PacedRig rig;
    rig.module.eeprom()[3] = 'Z';
    sendFrame(rig.ctx, readFrame(3));
    const int64_t start = rig.pump.nowMicros();
    const std::string arrived = settleForReply(rig.ctx, 1, hexBytes(kReplyZ), "");
    EXPECT_EQ(toHex(arrived), kReplyZ);
    // The module's 200 us turnaround, then 7 bytes: not a whole tick later.
    EXPECT_EQ(rig.pump.nowMicros() - start, 200 + 7 * 261);
    EXPECT_EQ(rig.port.InBufferCount(), 0);
}

TEST(SettleForReply, anotherReplyDoesNotEndItAndIsReturnedForTheSearch) {
    PacedRig rig(silentModule());
    rig.module.say(hexBytes("23 4D 04 52 41 E4 0D"));  // value 'A', expected 'Z'
    const int64_t start = rig.pump.nowMicros();
    const std::string arrived = settleForReply(rig.ctx, 1, hexBytes(kReplyZ), "");
    EXPECT_EQ(toHex(arrived), "23 4D 04 52 41 E4 0D");
    EXPECT_EQ(rig.pump.nowMicros() - start, 27 * 1000);
}

// 24 bytes on the line (6.25 ms) and 20 ms of turnaround: 27 ticks of 1 ms;
// at 55 ms a tick is longer than that and one tick is the wait.
TEST(SettleForReply, withoutAReplyLastsTheLongerOfItsTicksAndTheBound) {
    struct Case {
        int intervalMs;
        int16_t ticks;
        int64_t micros;
    };
    for (const Case& c : std::vector<Case>{{1, 1, 27000}, {1, 30, 30000}, {55, 1, 55000}}) {
        PacedRig rig(silentModule());
        rig.pump.setInterval(c.intervalMs);
        const int64_t start = rig.pump.nowMicros();
        EXPECT_EQ(settleForReply(rig.ctx, c.ticks, hexBytes(kReplyZ), ""), "");
        EXPECT_EQ(rig.pump.nowMicros() - start, c.micros) << c.intervalMs << " ms";
    }
}

// A reply that was there before the read frame went out answers an earlier
// read: the wait goes on for this read's own reply.
TEST(SettleForReply, aReplyAlreadyWaitingOrInTheTextDoesNotEndItEarly) {
    {
        PacedRig rig(silentModule());
        rig.module.say(hexBytes(kReplyZ));
        rig.runFor(5000);
        ASSERT_EQ(rig.port.InBufferCount(), 7);
        const int64_t start = rig.pump.nowMicros();
        EXPECT_EQ(toHex(settleForReply(rig.ctx, 1, hexBytes(kReplyZ), "")), kReplyZ);
        EXPECT_EQ(rig.pump.nowMicros() - start, 27000);
    }
    {
        PacedRig rig(silentModule());
        const int64_t start = rig.pump.nowMicros();
        EXPECT_EQ(settleForReply(rig.ctx, 1, hexBytes(kReplyZ), hexBytes(kReplyZ)), "");
        EXPECT_EQ(rig.pump.nowMicros() - start, 27000);
    }
}

// The text is searched as it will be: one of more than 512 characters is
// emptied before the new bytes are appended, so the first half of a reply in
// it does not count.
TEST(SettleForReply, replySplitBetweenTheTextAndNewBytesCountsOnlyWithinTheLimit) {
    struct Case {
        std::size_t filler;
        int64_t micros;
    };
    for (const Case& c : std::vector<Case>{{508, 200 + 3 * 261}, {509, 27000}}) {
        PacedRig rig(silentModule());
        const std::string text = std::string(c.filler, '.') + hexBytes("23 4D 04 52");
        rig.pump.schedule(rig.pump.nowMicros() + 200,
                          [&] { rig.module.say(hexBytes("5A FD 0D")); });
        const int64_t start = rig.pump.nowMicros();
        EXPECT_EQ(toHex(settleForReply(rig.ctx, 1, hexBytes(kReplyZ), text)), "5A FD 0D");
        EXPECT_EQ(rig.pump.nowMicros() - start, c.micros) << text.size() << " characters";
    }
}

TEST(SettleForReply, aPortThatFailsEndsItAndSetsCancelFlag) {
    PacedRig rig(silentModule());
    rig.pump.schedule(rig.pump.nowMicros() + 5000, [&] { rig.port.unplug(); });
    const int64_t start = rig.pump.nowMicros();
    EXPECT_EQ(settleForReply(rig.ctx, 1, hexBytes(kReplyZ), ""), "");
    EXPECT_LT(rig.pump.nowMicros() - start, 27000);
    EXPECT_TRUE(rig.ctx.CancelFlag);
}

}  // namespace
}  // namespace brindle::link
