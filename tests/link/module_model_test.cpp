#include "sim/module_model.h"

#include <gtest/gtest.h>

#include "link/frames.h"
#include "tests/support/temp_dir.h"

namespace brindle::sim {
namespace {

using testing::hexBytes;
using testing::toHex;

// Everything the module answers to bytes, joined.
std::string feed(ModuleModel& m, const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        for (const Emission& e : m.receive(static_cast<uint8_t>(c))) {
            out += e.bytes;
        }
    }
    return out;
}

TEST(ModuleModel, storesAWrittenByteWithoutAnswering) {
    ModuleModel m;
    EXPECT_EQ(feed(m, hexBytes("23 41 06 57 00 03 5A FB 0D")), "");
    EXPECT_EQ(m.eeprom()[3], 'Z');
    EXPECT_EQ(m.takeWrittenLocations(), std::vector<int>{3});
    EXPECT_TRUE(m.takeWrittenLocations().empty());
}

TEST(ModuleModel, answersAReadWithTheStoredByte) {
    ModuleModel m;
    m.eeprom()[3] = 'Z';
    EXPECT_EQ(toHex(feed(m, hexBytes("23 41 05 52 00 03 9B 0D"))), "23 4D 04 52 5A FD 0D");
}

TEST(ModuleModel, unwrittenLocationsReadAsErased) {
    ModuleModel m;
    EXPECT_EQ(toHex(feed(m, link::readFrame(500))), toHex(link::readReply(0xFF)));
}

TEST(ModuleModel, ignoresFramesWithABadChecksumOrNoCR) {
    ModuleModel m;
    EXPECT_EQ(feed(m, hexBytes("23 41 06 57 00 03 5A FC 0D")), "");
    EXPECT_EQ(feed(m, hexBytes("23 41 06 57 00 03 5A FB 0A")), "");
    EXPECT_EQ(m.eeprom()[3], kErased);
    EXPECT_EQ(m.badFrames(), 2);
    // And is ready for the next good one.
    feed(m, link::writeFrame(3, 'Z'));
    EXPECT_EQ(m.eeprom()[3], 'Z');
}

TEST(ModuleModel, valueOfHashInsideAFrameIsData) {
    ModuleModel m;
    feed(m, link::writeFrame(0x2323, '#'));
    EXPECT_EQ(m.eeprom()[0x2323], '#');
}

TEST(ModuleModel, keepsEveryByteItReceived) {
    ModuleModel m;
    feed(m, "xy\r");
    feed(m, link::readFrame(1));
    EXPECT_EQ(m.received(), "xy\r" + link::readFrame(1));
}

TEST(ModuleModel, dumpOfAnIncompleteImageSaysBlank) {
    ModuleModel m;
    m.eeprom()[3] = 'Z';
    m.eeprom()[kMacroArea] = 'A';
    EXPECT_EQ(feed(m, link::dumpFrame()), "DUMP\rBLANK\r");
}

TEST(ModuleModel, dumpSendsEachMacroByteAfterAnR) {
    ModuleModel m;
    m.eeprom()[3] = 'X';
    const std::string image = std::string("GOTO\x0E\x02\rMACRO\x02\r", 13);
    for (std::size_t i = 0; i < image.size(); ++i) {
        m.eeprom()[kMacroArea + i] = static_cast<uint8_t>(image[i]);
    }
    std::string expected = "DUMP\r";
    for (char c : image) {
        expected += 'R';
        expected += c;
    }
    EXPECT_EQ(feed(m, link::dumpFrame()), expected);
}

TEST(ModuleModel, corruptDumpChangesOneStoredByteOfTheFirstDumpOnly) {
    ModuleOptions options;
    options.corruptDumpOffset = 1;
    ModuleModel m(options);
    m.eeprom()[3] = 'X';
    m.eeprom()[kMacroArea] = 'A';
    m.eeprom()[kMacroArea + 1] = 0x0F;
    EXPECT_EQ(feed(m, link::dumpFrame()), std::string("DUMP\rRAR\xF0", 9));
    EXPECT_EQ(feed(m, link::dumpFrame()), std::string("DUMP\rRAR\x0F", 9));
}

TEST(ModuleModel, dumpWaitsLongerThanOtherAnswers) {
    ModuleModel m;
    const auto out = m.receive(0);  // nothing
    EXPECT_TRUE(out.empty());
    std::vector<Emission> dump;
    for (char c : link::dumpFrame()) {
        dump = m.receive(static_cast<uint8_t>(c));
    }
    ASSERT_EQ(dump.size(), 1u);
    EXPECT_EQ(dump[0].delayMicros, m.options().latencyMicros + m.options().dumpDelayMicros);
}

TEST(ModuleModel, startBlockIsConfirmedAndCancelStopsTheChatter) {
    ModuleOptions options;
    options.runChatters = true;
    ModuleModel m(options);
    m.eeprom()[0] = 7;
    EXPECT_EQ(toHex(feed(m, hexBytes("23 07 04 53 03 61 0D"))), "20 42 20 33 0D 0A");
    EXPECT_TRUE(m.talking());
    EXPECT_EQ(toHex(feed(m, hexBytes("23 41 04 53 00 98 0D"))), "20 42 20 30 0D 0A");
    EXPECT_FALSE(m.talking());
}

TEST(ModuleModel, onlyTheNodeAtLocationZeroRunsABlockAndACancelMayGoToA) {
    const struct {
        uint8_t storedNode;
        const char* frame;
        const char* answer;
    } cases[] = {
        {7, "23 07 04 53 03 61 0D", "20 42 20 33 0D 0A"},
        {7, "23 08 04 53 03 62 0D", ""},                   // another node
        {7, "23 41 04 53 03 9B 0D", ""},                   // "A" runs no block
        {7, "23 07 04 53 00 5E 0D", "20 42 20 30 0D 0A"},  // a cancel to the node
        {0xFF, "23 41 04 53 00 98 0D", "20 42 20 30 0D 0A"},
        {0x41, "23 41 04 53 02 9A 0D", "20 42 20 32 0D 0A"},
        {0xFF, "23 07 04 53 01 5F 0D", ""},  // nothing downloaded
    };
    for (const auto& c : cases) {
        ModuleModel m;
        m.eeprom()[0] = c.storedNode;
        EXPECT_EQ(toHex(feed(m, hexBytes(c.frame))), c.answer) << c.frame;
    }
}

TEST(ModuleModel, wakeWhileTalkingAnswersTheSyncFrame) {
    ModuleOptions options;
    options.chatterAtStart = true;
    ModuleModel m(options);
    EXPECT_EQ(m.chatterLine(), "STATUS 0000\r\n");
    EXPECT_EQ(toHex(feed(m, "\r\r")), "23 4D 03 58 A8 0D");
    EXPECT_FALSE(m.talking());
    EXPECT_EQ(feed(m, "\r\r"), "");  // a quiet module ignores it
}

TEST(ModuleModel, frameCRFollowedByACRIsNoWake) {
    ModuleOptions options;
    options.chatterAtStart = true;
    ModuleModel m(options);
    feed(m, link::writeFrame(1, 1) + "\r");
    EXPECT_TRUE(m.talking());
}

TEST(ModuleModel, wakeCanBeAnsweredWithBlankYOrNotAtAll) {
    ModuleOptions options;
    options.chatterAtStart = true;
    options.syncReply = SyncReply::YesLine;
    ModuleModel yes(options);
    EXPECT_EQ(feed(yes, "\r\r"), " Y\r");
    options.syncReply = SyncReply::None;
    ModuleModel none(options);
    EXPECT_EQ(feed(none, "\r\r"), "");
    EXPECT_TRUE(none.talking());
}

TEST(ModuleModel, echoRepeatsTheFrameBeforeTheAnswer) {
    ModuleOptions options;
    options.echo = true;
    ModuleModel m(options);
    EXPECT_EQ(feed(m, link::readFrame(3)), link::readFrame(3) + link::readReply(0xFF));
}

// A read reply with its checksum changed: 23 4D 04 52 FF then anything but
// A2, then 0D.
TEST(ModuleModel, badChecksumChangesOnlyTheReplysChecksum) {
    ModuleOptions options;
    options.badChecksumProbability = 1.0;
    ModuleModel m(options);
    const std::string reply = feed(m, link::readFrame(3));
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_EQ(reply.substr(0, 5), "\x23\x4D\x04\x52\xFF");
    EXPECT_NE(reply[5], '\xA2');
    EXPECT_EQ(reply[6], '\x0D');
}

// A trickling dump goes on with 'R' and a letter, as talk, until a wake-up.
TEST(ModuleModel, aTricklingDumpGoesOnUntilAWakeUp) {
    ModuleOptions options;
    options.trickleIntervalMicros = 300;
    ModuleModel m(options);
    feed(m, link::writeFrame(3, 'X') + link::writeFrame(3586, 'A'));
    EXPECT_FALSE(m.talking());
    EXPECT_EQ(feed(m, link::dumpFrame()), "DUMP\rRA");
    EXPECT_TRUE(m.talking());
    EXPECT_EQ(m.talkIntervalMicros(), 300);
    EXPECT_EQ(m.chatterLine(), "RA");
    EXPECT_EQ(m.chatterLine(), "RB");
    feed(m, "\r\r");
    EXPECT_FALSE(m.talking());
    EXPECT_EQ(m.talkIntervalMicros(), options.chatterIntervalMicros);
}

TEST(ModuleModel, silentModuleStillStoresButNeverAnswers) {
    ModuleOptions options;
    options.silent = true;
    ModuleModel m(options);
    EXPECT_EQ(feed(m, link::writeFrame(3, 'Z') + link::readFrame(3) + link::dumpFrame()), "");
    EXPECT_EQ(m.eeprom()[3], 'Z');
}

TEST(ModuleModel, droppedAndCorruptedAnswersRepeatWithTheSameSeed) {
    ModuleOptions options;
    options.dropProbability = 0.3;
    options.corruptProbability = 0.3;
    options.seed = 42;
    ModuleModel first(options);
    ModuleModel second(options);
    std::string a;
    std::string b;
    for (int i = 0; i < 50; ++i) {
        a += feed(first, link::readFrame(static_cast<int16_t>(i)));
        b += feed(second, link::readFrame(static_cast<int16_t>(i)));
    }
    EXPECT_EQ(a, b);
    const std::string clean = [] {
        std::string s;
        for (int i = 0; i < 50; ++i) {
            s += link::readReply(0xFF);
        }
        return s;
    }();
    EXPECT_NE(a, clean);
    EXPECT_LT(a.size(), clean.size());
}

// Every answer byte is changed with the given chance, each on its own: at a
// half, about half the bytes of 40 replies differ, and the same seed changes
// the same ones.
TEST(ModuleModel, corruptBytesChangesSingleBytesRepeatablyBySeed) {
    ModuleOptions options;
    options.corruptByteProbability = 0.5;
    options.seed = 5;
    ModuleModel first(options);
    ModuleModel second(options);
    std::string a;
    std::string b;
    for (int i = 0; i < 40; ++i) {
        a += feed(first, link::readFrame(static_cast<int16_t>(i)));
        b += feed(second, link::readFrame(static_cast<int16_t>(i)));
    }
    EXPECT_EQ(a, b);
    const std::string clean = hexBytes("23 4D 04 52 FF A2 0D");
    ASSERT_EQ(a.size(), 40u * 7u);
    int changed = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        changed += a[i] != clean[i % 7] ? 1 : 0;
    }
    EXPECT_GT(changed, 80);
    EXPECT_LT(changed, 200);
}

// A module that stops answering midway: the third frame and later get
// nothing, the chatter stops too, and writes are still stored.
TEST(ModuleModel, stopAfterFramesFallsSilentButStillStores) {
    ModuleOptions options;
    options.stopAfterFrames = 2;
    options.chatterAtStart = true;
    ModuleModel m(options);
    EXPECT_EQ(toHex(feed(m, link::readFrame(3))), "23 4D 04 52 FF A2 0D");
    EXPECT_EQ(feed(m, link::writeFrame(3, 'Z')), "");
    EXPECT_TRUE(m.talking());
    EXPECT_EQ(feed(m, link::readFrame(3)), "");
    EXPECT_FALSE(m.talking());
    EXPECT_EQ(feed(m, link::writeFrame(4, 'Q') + link::readFrame(4) + "\r\r"), "");
    EXPECT_EQ(m.eeprom()[4], 'Q');
    EXPECT_EQ(m.framesReceived(), 5);
}

TEST(ModuleModel, everySecondReadCanBeLeftUnanswered) {
    ModuleOptions options;
    options.dropEverySecondRead = true;
    ModuleModel m(options);
    EXPECT_NE(feed(m, link::readFrame(3)), "");
    EXPECT_EQ(feed(m, link::readFrame(3)), "");
    EXPECT_NE(feed(m, link::readFrame(3)), "");
    EXPECT_EQ(m.readsReceived(), 3);
}

// With a write time, a read that arrives while the byte is being stored is
// answered once it is stored; a later read at once.
TEST(ModuleModel, aReadWhileTheByteIsStoredIsAnsweredWhenItIsStored) {
    ModuleOptions options;
    options.writeTimeMicros = 10000;
    options.latencyMicros = 200;
    ModuleModel m(options);
    for (char c : hexBytes("23 41 06 57 00 03 5A FB 0D")) {
        EXPECT_TRUE(m.receive(static_cast<uint8_t>(c), 1000).empty());
    }
    const std::string read = hexBytes("23 41 05 52 00 03 9B 0D");
    std::vector<Emission> answer;
    for (char c : read) {
        answer = m.receive(static_cast<uint8_t>(c), 4000);
    }
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(toHex(answer[0].bytes), "23 4D 04 52 5A FD 0D");
    EXPECT_EQ(answer[0].delayMicros, (11000 - 4000) + 200);
    for (char c : read) {
        answer = m.receive(static_cast<uint8_t>(c), 20000);
    }
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(answer[0].delayMicros, 200);
}

}  // namespace
}  // namespace brindle::sim
