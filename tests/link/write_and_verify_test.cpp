#include "link/write_and_verify.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <utility>

#include "link/exchange.h"
#include "link/frames.h"
#include "tests/link/link_rig.h"

namespace brindle::link {
namespace {

using testing::hexBytes;
using testing::LinkRig;
using testing::toHex;

std::string concat(std::initializer_list<const char*> hexFrames) {
    std::string out;
    for (const char* f : hexFrames) {
        out += hexBytes(f);
    }
    return out;
}

constexpr const char* kWriteZ3 = "23 41 06 57 00 03 5A FB 0D";
constexpr const char* kRead3 = "23 41 05 52 00 03 9B 0D";

std::string times(int n, const std::string& bytes) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += bytes;
    }
    return out;
}

// One write as the module and the line make it go. Every row: confirmed
// exactly when the row says nothing, Cancel set exactly when not confirmed,
// the byte stored when confirmed, the rewrite notice hidden at the end.
struct OneWrite {
    const char* fault;  // what a failing row points at
    std::function<void(sim::ModuleOptions&)> module = [](sim::ModuleOptions&) {};
    std::function<void(LinkRig&)> before = [](LinkRig&) {};
    std::string text = {};  // the receive text before the write
    int16_t location = 3;
    uint8_t value = 'Z';
    std::string says = {};                    // how the failure's message starts
    std::pair<int, int> writes = {0, 1'000};  // at least, at most
    int reads = -1;                           // -1: any
    int retryingShown = -1;
    std::optional<std::string> wire = {};
};

TEST(WriteAndVerify, confirmsByReadingTwiceAndRewritesABoundedNumberOfTimes) {
    const std::string unconfirmed = "E2PROM location 3 was not confirmed after 40 tries";
    const std::string cancelled = "The write to E2PROM location 3 was cancelled after ";
    // A silent module: a reply already in the receive text is the only one there is.
    const auto silent = [](sim::ModuleOptions& o) { o.silent = true; };
    const std::vector<OneWrite> cases = {
        {.fault = "an answered write is not one write and two reads",
         .retryingShown = 0,
         .wire = concat({kWriteZ3, kRead3, kRead3})},
        {.fault = "the location's high byte does not go first",
         .location = 3586,
         .value = 0x31,
         .wire = concat(
             {"23 41 06 57 0E 02 31 DF 0D", "23 41 05 52 0E 02 A8 0D", "23 41 05 52 0E 02 A8 0D"})},
        {.fault = "a reply whose checksum is 13 is taken for its end",
         .location = 100,
         .value = 0x6A,
         .writes = {1, 1},
         .reads = 2},
        {.fault = "an unanswered second read does not write the byte again",
         .module = [](sim::ModuleOptions& o) { o.dropReads = {2}; },
         .retryingShown = 1,
         .wire = concat({kWriteZ3, kRead3, kRead3, kWriteZ3, kRead3, kRead3})},
        {.fault = "a module that always misses the second read is not given up on",
         .module = [](sim::ModuleOptions& o) { o.dropEverySecondRead = true; },
         .says = unconfirmed,
         .writes = {160, 160}},
        {.fault = "a silent module is not written forty times, each with one read",
         .module = silent,
         .says = unconfirmed,
         .retryingShown = 40,
         .wire = times(40, concat({kWriteZ3, kRead3}))},
        {.fault = "Cancel already set does not stop the write before it is sent",
         .before = [](LinkRig& rig) { rig.ctx.CancelFlag = true; },
         .says = cancelled + "0 tries",
         .wire = ""},
        {.fault = "Cancel during the rewrites does not stop them",
         .module = silent,
         .before =
             [](LinkRig& rig) { rig.pump.schedule(1000000, [&] { rig.ctx.CancelFlag = true; }); },
         .says = cancelled,
         .writes = {1, 39}},
        {.fault = "a reply later than a tick is lost with the receive text",
         .module = [](sim::ModuleOptions& o) { o.latencyMicros = 70000; },
         .writes = {2, 40}},
        {.fault = "a stale reply in a text past 512 characters is not thrown away",
         .module = silent,
         .text = readReply('Z') + std::string(506, '.'),
         .says = unconfirmed,
         .writes = {40, 40}},
        // The good read resets the tries once: 1 + 40 writes.
        {.fault = "a stale reply in a text of 512 characters is not a good read",
         .module = silent,
         .text = readReply('Z') + std::string(505, '.'),
         .says = unconfirmed,
         .writes = {41, 41}},
    };
    EXPECT_EQ(writeBound(40), 160);
    for (const OneWrite& c : cases) {
        SCOPED_TRACE(c.fault);
        sim::ModuleOptions options;
        c.module(options);
        LinkRig rig(options);
        c.before(rig);
        std::string text = c.text;
        const base::Status r = WriteAndVerify(rig.ctx, c.location, c.value, text);
        EXPECT_EQ(r.ok(), c.says.empty());
        EXPECT_EQ(r.message().rfind(c.says, 0), 0u) << r.message();
        EXPECT_EQ(rig.ctx.CancelFlag, !r.ok());
        EXPECT_FALSE(rig.operation.retrying);
        if (r.ok()) {
            EXPECT_EQ(rig.module.eeprom()[static_cast<std::size_t>(c.location)], c.value);
            EXPECT_EQ(text, "");
        }
        EXPECT_GE(rig.module.writesReceived(), c.writes.first);
        EXPECT_LE(rig.module.writesReceived(), c.writes.second);
        if (c.reads >= 0) {
            EXPECT_EQ(rig.module.readsReceived(), c.reads);
        }
        if (c.retryingShown >= 0) {
            EXPECT_EQ(rig.operation.retryingShown, c.retryingShown);
        }
        if (c.wire) {
            EXPECT_EQ(toHex(rig.module.received()), toHex(*c.wire));
        }
    }
}

// The reply is searched for before viewbuffer takes the first line out of
// the receive text, so a module that does not echo has its replies found,
// and shown in the receive window as they were read.
TEST(WriteAndVerify, replyIsFoundAndShownWhenCheck1IsTicked) {
    LinkRig rig;
    rig.ctx.lines.ReceiveWindowTicked = true;
    std::string text;
    EXPECT_TRUE(WriteAndVerify(rig.ctx, 3, 'Z', text).ok());
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
    EXPECT_TRUE(WriteAndVerify(rig.ctx, 3, 'Z', text).ok());
    EXPECT_EQ(rig.module.writesReceived(), 1);
    // The write's echo was shown, the reply was found behind the read's echo.
    EXPECT_EQ(rig.receive.entries.front(), hexBytes("23 41 06 57 00 03 5A FB") + "<cr>");
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
