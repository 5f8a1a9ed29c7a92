#include "link/write_and_verify.h"

#include <gtest/gtest.h>

#include "link/exchange.h"
#include "link/frames.h"
#include "tests/link/link_rig.h"

namespace brindle::link {
namespace {

using testing::hexBytes;
using testing::LinkRig;

std::string concat(std::initializer_list<const char*> hexFrames) {
    std::string out;
    for (const char* f : hexFrames) {
        out += hexBytes(f);
    }
    return out;
}

constexpr const char* kWriteZ3 = "23 41 06 57 00 03 5A FB 0D";
constexpr const char* kRead3 = "23 41 05 52 00 03 9B 0D";

TEST(WriteAndVerify, writesOnceAndReadsTwiceWhenTheModuleAnswers) {
    LinkRig rig;
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(rig.module.received(), concat({kWriteZ3, kRead3, kRead3}));
    EXPECT_EQ(rig.module.eeprom()[3], 'Z');
    EXPECT_FALSE(rig.ctx.CancelFlag);
    EXPECT_FALSE(rig.operation.retrying);
    EXPECT_EQ(rig.operation.retryingShown, 0);
    EXPECT_EQ(text, "");
}

TEST(WriteAndVerify, location3586GoesOutAsHighByte0EThenLowByte02) {
    LinkRig rig;
    std::string text;
    EXPECT_TRUE(WriteAndVerify(rig.ctx, 3586, 0x31, text).ok());
    EXPECT_EQ(rig.module.received(),
              concat({"23 41 06 57 0E 02 31 DF 0D", "23 41 05 52 0E 02 A8 0D",
                      "23 41 05 52 0E 02 A8 0D"}));
    EXPECT_EQ(rig.module.eeprom()[3586], 0x31);
}

TEST(WriteAndVerify, replyWithChecksum13IsRecognisedWithCheck1Unchecked) {
    LinkRig rig;
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 100, 0x6A, text);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(rig.module.writesReceived(), 1);
    EXPECT_EQ(rig.module.readsReceived(), 2);
}

// The reply is searched for before viewbuffer takes the first line out of
// the receive text, so a module that does not echo has its replies found,
// and shown in the receive window as they were read.
TEST(WriteAndVerify, replyIsFoundAndShownWhenCheck1IsTicked) {
    LinkRig rig;
    rig.ctx.lines.ReceiveWindowTicked = true;
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_TRUE(r.ok());
    EXPECT_FALSE(rig.ctx.CancelFlag);
    EXPECT_EQ(rig.module.received(), concat({kWriteZ3, kRead3, kRead3}));
    EXPECT_EQ(rig.operation.retryingShown, 0);
    const std::string shown = hexBytes("23 4D 04 52 5A FD") + "<cr>";
    EXPECT_EQ(rig.receive.entries, (std::vector<std::string>{shown, shown}));
    EXPECT_EQ(rig.receive.selected, 1);
    EXPECT_EQ(text, "");
}

TEST(WriteAndVerify, replyIsFoundWhenTheControllersEchoPrecedesIt) {
    sim::ModuleOptions options;
    options.echo = true;
    LinkRig rig(options);
    rig.ctx.lines.ReceiveWindowTicked = true;
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(rig.module.writesReceived(), 1);
    // The write's echo was shown, the reply was found behind the read's echo.
    EXPECT_EQ(rig.receive.entries.front(), hexBytes("23 41 06 57 00 03 5A FB") + "<cr>");
}

TEST(WriteAndVerify, moduleAnsweringTheFirstReadButNotTheSecondGetsTheByteAgain) {
    sim::ModuleOptions options;
    options.dropReads = {2};
    LinkRig rig(options);
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(rig.module.received(), concat({kWriteZ3, kRead3, kRead3, kWriteZ3, kRead3, kRead3}));
    EXPECT_EQ(rig.operation.retryingShown, 1);
    EXPECT_FALSE(rig.operation.retrying);
}

TEST(WriteAndVerify, moduleThatAlwaysMissesTheSecondReadIsBoundedAndFails) {
    sim::ModuleOptions options;
    options.dropEverySecondRead = true;
    LinkRig rig(options);
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message(), "E2PROM location 3 was not confirmed after 40 tries");
    EXPECT_TRUE(rig.ctx.CancelFlag);
    EXPECT_EQ(rig.module.writesReceived(), 160);
    EXPECT_EQ(writeBound(40), 160);
}

TEST(WriteAndVerify, fortyUnansweredWritesEachWithOneReadThenCancelFlag) {
    sim::ModuleOptions options;
    options.silent = true;
    LinkRig rig(options);
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message(), "E2PROM location 3 was not confirmed after 40 tries");
    EXPECT_TRUE(rig.ctx.CancelFlag);
    EXPECT_EQ(rig.module.writesReceived(), 40);
    EXPECT_EQ(rig.module.readsReceived(), 40);
    EXPECT_EQ(rig.operation.retryingShown, 40);
    EXPECT_FALSE(rig.operation.retrying);
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        expected += concat({kWriteZ3, kRead3});
    }
    EXPECT_EQ(rig.module.received(), expected);
}

TEST(WriteAndVerify, setCancelFlagReturnsAtOnceWithoutSending) {
    LinkRig rig;
    rig.ctx.CancelFlag = true;
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message(), "The write to E2PROM location 3 was cancelled after 0 tries");
    EXPECT_EQ(rig.module.received(), "");
    EXPECT_TRUE(rig.ctx.CancelFlag);
}

TEST(WriteAndVerify, cancelDuringTheRetriesStopsTheWrites) {
    sim::ModuleOptions options;
    options.silent = true;
    LinkRig rig(options);
    rig.pump.schedule(1000000, [&] { rig.ctx.CancelFlag = true; });
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message().rfind("The write to E2PROM location 3 was cancelled after ", 0), 0u)
        << r.message();
    EXPECT_LT(rig.module.writesReceived(), 40);
    EXPECT_GT(rig.module.writesReceived(), 0);
}

TEST(WriteAndVerify, lateReplyIsFoundLaterBecauseTheTextIsKept) {
    sim::ModuleOptions options;
    options.latencyMicros = 70000;  // longer than one 55 ms tick
    LinkRig rig(options);
    std::string text;
    const base::Status r = WriteAndVerify(rig.ctx, 3, 'Z', text);
    EXPECT_TRUE(r.ok());
    EXPECT_GT(rig.module.writesReceived(), 1);
}

// A silent module: a reply already in the receive text is the only one there is.
TEST(WriteAndVerify, staleReplyInATextPast512CharactersIsThrownAway) {
    sim::ModuleOptions options;
    options.silent = true;
    LinkRig rig(options);
    std::string text = readReply('Z') + std::string(506, '.');
    ASSERT_EQ(text.size(), 513u);
    EXPECT_FALSE(WriteAndVerify(rig.ctx, 3, 'Z', text).ok());
    EXPECT_EQ(rig.module.writesReceived(), 40);
}

TEST(WriteAndVerify, staleReplyInATextOf512CharactersCountsAsAGoodRead) {
    sim::ModuleOptions options;
    options.silent = true;
    LinkRig rig(options);
    std::string text = readReply('Z') + std::string(505, '.');
    ASSERT_EQ(text.size(), 512u);
    EXPECT_FALSE(WriteAndVerify(rig.ctx, 3, 'Z', text).ok());
    // The good read reset the tries once: 1 + 40 writes.
    EXPECT_EQ(rig.module.writesReceived(), 41);
}

TEST(WriteAndVerify, corruptedRepliesCostRewritesButTheByteIsStored) {
    sim::ModuleOptions options;
    options.corruptProbability = 0.3;
    options.seed = 7;
    LinkRig rig(options);
    std::string text;
    int writes = 0;
    for (int i = 0; i < 20; ++i) {
        text.clear();
        ASSERT_TRUE(WriteAndVerify(rig.ctx, static_cast<int16_t>(3586 + i), 'A' + i, text).ok());
        writes = rig.module.writesReceived();
    }
    EXPECT_GT(writes, 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(rig.module.eeprom()[3586 + i], 'A' + i);
    }
}

// With 1 ms ticks the wait after a read ends when the reply is complete and
// lasts at least the line time of the frames and the reply when it is not: a
// module that paces both directions at the line speed and takes up to 10 ms to
// store a byte needs no rewrite at any speed.
TEST(WriteAndVerify, pacedModuleWithAWriteTimeNeedsNoRewriteAtOneMillisecond) {
    struct Case {
        int32_t baud;
        int64_t writeTimeMicros;
    };
    for (const Case& c : std::vector<Case>{{9600, 0},
                                           {38400, 0},
                                           {115200, 0},
                                           {9600, 10000},
                                           {38400, 2000},
                                           {38400, 10000},
                                           {115200, 10000}}) {
        sim::ModuleOptions options;
        options.baud = c.baud;
        options.writeTimeMicros = c.writeTimeMicros;
        LinkRig rig(options);
        rig.ctx.settings.baud = c.baud;
        rig.pump.setInterval(1);
        std::string text;
        constexpr int kBytes = 50;
        for (int i = 0; i < kBytes; ++i) {
            ASSERT_TRUE(WriteAndVerify(rig.ctx, static_cast<int16_t>(3586 + i),
                                       static_cast<uint8_t>(i * 5), text)
                            .ok());
        }
        EXPECT_EQ(rig.module.writesReceived(), kBytes)
            << c.baud << " baud, write time " << c.writeTimeMicros << " us";
        EXPECT_EQ(rig.module.readsReceived(), 2 * kBytes);
        EXPECT_EQ(rig.operation.retryingShown, 0);
    }
}

// A reply that comes after its wait has given up answers an earlier read. It
// is taken with the next read's own reply, so no reply is left over for a
// later read to be confirmed by.
TEST(WriteAndVerify, aLateReplyIsTakenWithTheNextOneAndNothingIsLeftBehind) {
    sim::ModuleOptions options;
    options.baud = 38400;
    options.dropReads = {1};
    LinkRig rig(options);
    rig.ctx.settings.baud = 38400;
    rig.pump.setInterval(1);
    bool late = false;
    rig.pump.setIdleHook([&] {
        if (!late && rig.module.readsReceived() == 2) {
            late = true;
            rig.module.say(hexBytes("23 4D 04 52 41 E4 0D"));  // the first read's reply
        }
    });
    std::string text;
    ASSERT_TRUE(WriteAndVerify(rig.ctx, 3586, 'A', text).ok());
    EXPECT_TRUE(late);
    EXPECT_EQ(rig.module.writesReceived(), 2);
    EXPECT_EQ(rig.module.readsReceived(), 3);
    rig.runFor(10000);
    EXPECT_EQ(rig.port.InBufferCount(), 0);
}

}  // namespace
}  // namespace brindle::link
