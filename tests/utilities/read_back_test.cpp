// Read E2prom against the fake module on virtual time: the frames on the
// wire, the text and fields shown, the busy and blank modules, the work file,
// and the ways a read ends.
#include "utilities/read_back.h"

#include <gtest/gtest.h>

#include "sim/fake_link.h"
#include "tests/support/library_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/utilities/recording_utility_views.h"

using namespace brindle;
using brindle::testing::hexBytes;
using brindle::testing::readBytes;
using brindle::testing::toHex;
using utilities::ReadOutcome;

namespace {

const std::string kDumpHex = "23 41 04 45 32 BC 0D";
// Reads of locations 0, 1, 2 and 3.
const std::string kFourReadsHex =
    "23 41 05 52 00 00 98 0D 23 41 05 52 00 01 99 0D "
    "23 41 05 52 00 02 9A 0D 23 41 05 52 00 03 9B 0D";

// The two macros a download stores one after the other, with the header
// node 7, boot macro 3, 2 macros, "X".
const std::string kStoredImages =
    brindle::testing::kWorkedExampleImage + brindle::testing::kSecondMacroImage;
const std::string kShownText =
    "\r\n0:\r\n1 MA 1000\r\nGOTO0\r\nMACRO 2\r\n\r\n24:\r\n2 MA 7\r\nGOTO24\r\n";

class ReadBack : public ::testing::Test {
  protected:
    explicit ReadBack(sim::ModuleOptions options = {}) : link(options) {}

    void storeDownload(const std::string& images = kStoredImages) {
        auto& e = link.module.eeprom();
        e[0] = 7;
        e[1] = 3;
        e[2] = 2;
        e[3] = 'X';
        for (std::size_t i = 0; i < images.size(); ++i) {
            e[3586 + i] = static_cast<uint8_t>(images[i]);
        }
    }
    utilities::ReadBackResult read() {
        return utilities::readE2prom(link.ctx, view, prompter, workFile());
    }
    std::string workFile() const { return dir.file("e2read.tmp"); }
    std::string wire() const { return toHex(link.module.received()); }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& m : prompter.messages) {
            out.push_back(m.text);
        }
        return out;
    }

    brindle::testing::TempDir dir;
    sim::FakeLink link;
    brindle::testing::RecordingReadBackView view;
    brindle::testing::ScriptedPrompter prompter;
};

sim::ModuleOptions talking() {
    sim::ModuleOptions o;
    o.chatterAtStart = true;
    return o;
}

sim::ModuleOptions silent() {
    sim::ModuleOptions o;
    o.silent = true;
    return o;
}

sim::ModuleOptions readsDropped(std::set<int> reads) {
    sim::ModuleOptions o;
    o.dropReads = std::move(reads);
    return o;
}

class ReadBackBusy : public ReadBack {
  protected:
    ReadBackBusy() : ReadBack(talking()) {}
};

class ReadBackSilent : public ReadBack {
  protected:
    ReadBackSilent() : ReadBack(silent()) {}
};

}  // namespace

TEST_F(ReadBack, dumpsTheModuleShowsItsMacrosWithLabelsAndReadsTheHeader) {
    storeDownload();
    const auto result = read();
    EXPECT_EQ(result.outcome, ReadOutcome::Read);
    EXPECT_EQ(wire(), kDumpHex + " " + kFourReadsHex);
    EXPECT_EQ(view.text, kShownText);
    EXPECT_EQ(view.macroId(), " 7");
    EXPECT_EQ(view.bootMacro(), " 3");
    EXPECT_EQ(view.macroCount(), " 2");
    EXPECT_TRUE(view.headerVisible);
    EXPECT_EQ(view.readingShown, 1);
    EXPECT_FALSE(view.readingMessage);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(result.readFailed);
    EXPECT_TRUE(link.ctx.StartComm);
}

TEST_F(ReadBack, theWorkFileKeepsTheRewrittenTextWithoutLabels) {
    storeDownload();
    const auto result = read();
    EXPECT_TRUE(result.workFile.ok()) << result.workFile.message();
    EXPECT_EQ(readBytes(workFile()), "1 MA 1000\r\nGOTO0\r\nMACRO 2\r\n2 MA 7\r\nGOTO24\r\n");
}

TEST_F(ReadBack, aWorkFileThatCannotBeWrittenChangesNothingShown) {
    storeDownload();
    const auto result =
        utilities::readE2prom(link.ctx, view, prompter, dir.file("missing/e2read.tmp"));
    EXPECT_FALSE(result.workFile.ok());
    EXPECT_EQ(view.text, kShownText);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ReadBack, aModuleWithoutACompleteImageShowsBlankAndIsNotAskedForLocations) {
    storeDownload();
    link.module.eeprom()[3] = 'Z';
    view.fields[0] = "old";
    const auto result = read();
    EXPECT_EQ(wire(), kDumpHex);
    EXPECT_EQ(view.text, "BLANK\r\n");
    EXPECT_EQ(view.macroId(), "");
    EXPECT_EQ(view.bootMacro(), "");
    EXPECT_EQ(view.macroCount(), "");
    EXPECT_TRUE(view.headerVisible);
    EXPECT_FALSE(result.locationsRead);
}

TEST_F(ReadBackBusy, aTalkingControllerIsRunningAMacroAndNothingIsSent) {
    view.text = "kept";
    view.fields[1] = " 9";
    const auto result = read();
    EXPECT_EQ(result.outcome, ReadOutcome::Busy);
    EXPECT_EQ(wire(), "");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "                       Macro Executing !\r\n"
              "Use 'Cancel Execution' button in Download menu.");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
    EXPECT_EQ(prompter.messages[0].title, "Brindle");
    EXPECT_EQ(view.text, "kept");
    EXPECT_EQ(view.bootMacro(), " 9");
    EXPECT_FALSE(view.headerVisible);
    EXPECT_FALSE(view.readingMessage);
    // Within the 25 ticks of the busy check (chatter starts after 20 ms).
    EXPECT_LE(link.pump.ticks(), 25);
}

TEST_F(ReadBackSilent, noAnswerReadsFailedInTheTextAndTheTwoCountedFields) {
    const auto result = read();
    EXPECT_EQ(wire(), kDumpHex + " " + kFourReadsHex);
    EXPECT_EQ(view.text, "Read Failed");
    EXPECT_TRUE(result.readFailed);
    EXPECT_EQ(view.macroId(), "");
    EXPECT_EQ(view.bootMacro(), "Read Failed");
    EXPECT_EQ(view.macroCount(), "Read Failed");
}

TEST(ReadBackLocations, aMissingAnswerFailsOnlyItsOwnField) {
    const struct {
        int droppedRead;
        const char* macroId;
        const char* bootMacro;
        const char* macroCount;
    } cases[] = {
        {1, "", " 3", " 2"},
        {2, " 7", "Read Failed", " 2"},
        {3, " 7", " 3", "Read Failed"},
        {4, " 7", " 3", " 2"},  // location 3 is read and shown nowhere
    };
    for (const auto& c : cases) {
        sim::FakeLink link(readsDropped({c.droppedRead}));
        auto& e = link.module.eeprom();
        e[0] = 7;
        e[1] = 3;
        e[2] = 2;
        e[3] = 'X';
        e[3586] = '1';
        brindle::testing::TempDir dir;
        brindle::testing::RecordingReadBackView view;
        brindle::testing::ScriptedPrompter prompter;
        utilities::readE2prom(link.ctx, view, prompter, dir.file("e2read.tmp"));
        EXPECT_EQ(view.macroId(), c.macroId) << c.droppedRead;
        EXPECT_EQ(view.bootMacro(), c.bootMacro) << c.droppedRead;
        EXPECT_EQ(view.macroCount(), c.macroCount) << c.droppedRead;
    }
}

TEST_F(ReadBack, aCancelFlagLeftByAnEarlierOperationDoesNotSilenceTheRead) {
    storeDownload();
    link.ctx.CancelFlag = true;
    read();
    EXPECT_EQ(wire(), kDumpHex + " " + kFourReadsHex);
    EXPECT_EQ(view.text, kShownText);
}

TEST_F(ReadBack, theReceiveWindowIsOffDuringTheReadAndOnAgainAfterIt) {
    storeDownload();
    link.ctx.lines.ReceiveWindowTicked = true;
    link.shared.ReceiveWindowActive = true;
    bool activeDuringDump = true;
    link.pump.setIdleHook([&] {
        if (link.module.received().size() == 7) {
            activeDuringDump = activeDuringDump && link.shared.ReceiveWindowActive;
        }
    });
    read();
    EXPECT_FALSE(activeDuringDump);
    EXPECT_EQ(view.text, kShownText);
    // The read's own reads show what came in the receive window instead.
    ASSERT_FALSE(link.receive.entries.empty());
    EXPECT_EQ(link.receive.entries.front(), "DUMP<cr>");
    EXPECT_TRUE(link.shared.ReceiveWindowActive);
}

TEST_F(ReadBack, aFullMacroAreaIsReadWholeWithoutComplaint) {
    storeDownload(std::string(29182, 'A'));
    const auto result = read();
    EXPECT_FALSE(result.cutShort);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(view.text, std::string(29182, 'A') + "\r\n");
    EXPECT_EQ(view.macroCount(), " 2");
}

TEST_F(ReadBack, aReplyThatNeverStopsEndsAfterTheMacroAreaAndSaysSo) {
    storeDownload();
    link.module.options().chatterIntervalMicros = 2000;
    link.pump.setIdleHook([&] {
        if (link.module.received().size() == 7 && !link.module.model().talking()) {
            link.module.startChatter();
        }
    });
    const auto result = read();
    EXPECT_TRUE(result.cutShort);
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages.at(0).icon, base::Icon::Critical);
    // Two bytes a location and a header's room: 2 x 29182 + 512 bytes at most.
    EXPECT_LE(view.text.size(), 2u * (58364u + 512u));
    EXPECT_GT(view.text.size(), 29000u);
}

TEST_F(ReadBack, closingTheWindowEndsTheReadAtOnceWithoutAMessage) {
    storeDownload(std::string(2000, 'A'));
    link.pump.setIdleHook([&] {
        if (link.port.InBufferCount() > 0 && link.module.received().size() == 7) {
            link.shared.Closing.request();
        }
    });
    read();
    EXPECT_EQ(wire(), kDumpHex);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_LT(view.text.size(), 2000u);
}

TEST_F(ReadBack, aPortThatFailsDuringTheReadIsReported) {
    storeDownload(std::string(2000, 'A'));
    link.pump.setIdleHook([&] {
        if (link.port.InBufferCount() > 0 && link.port.PortOpen()) {
            link.port.unplug();
        }
    });
    const auto result = read();
    EXPECT_EQ(result.portFailure, "device removed");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("device removed"), std::string::npos);
    EXPECT_EQ(view.bootMacro(), "Read Failed");
}

TEST_F(ReadBack, aPortClosedByAnEarlierFailureIsOpenedAgain) {
    storeDownload();
    link.port.unplug();
    read();
    EXPECT_EQ(view.text, kShownText);
    EXPECT_TRUE(link.port.PortOpen());
}

namespace {

sim::ModuleOptions pacedAt(int32_t baud) {
    sim::ModuleOptions o;
    o.baud = baud;
    return o;
}

// The module paces its answers at the line's speed and the receive timer runs
// at 1 ms: a slow line's dump begins later than 25 ticks after the frame.
class ReadBackPaced : public ReadBack, public ::testing::WithParamInterface<int32_t> {
  protected:
    ReadBackPaced() : ReadBack(pacedAt(GetParam())) {
        link.ctx.settings.baud = GetParam();
        link.pump.setInterval(1);
    }
};

}  // namespace

TEST_P(ReadBackPaced, waitsForTheDumpAndEachLocationAtAShortInterval) {
    storeDownload();
    const auto result = read();
    EXPECT_EQ(result.outcome, ReadOutcome::Read);
    EXPECT_FALSE(result.readFailed);
    EXPECT_EQ(view.text, kShownText);
    EXPECT_EQ(view.macroId(), " 7");
    EXPECT_EQ(view.bootMacro(), " 3");
    EXPECT_EQ(view.macroCount(), " 2");
    EXPECT_EQ(wire(), kDumpHex + " " + kFourReadsHex);
}

INSTANTIATE_TEST_SUITE_P(Speeds, ReadBackPaced, ::testing::Values(1200, 9600, 38400, 115200));

namespace {

sim::ModuleOptions slowToStart() {
    sim::ModuleOptions o;
    o.dumpDelayMicros = 150000;
    return o;
}

class ReadBackSlowStart : public ReadBack {
  protected:
    ReadBackSlowStart() : ReadBack(slowToStart()) { link.pump.setInterval(1); }
};

}  // namespace

// A module that takes 150 ms to begin its dump is still read at the 1 ms
// interval: 25 ticks of silence before the first byte do not end the read.
TEST_F(ReadBackSlowStart, aDumpThatBeginsLateIsReadWhole) {
    storeDownload();
    const auto result = read();
    EXPECT_FALSE(result.readFailed);
    EXPECT_EQ(view.text, kShownText);
    EXPECT_EQ(view.bootMacro(), " 3");
}

// A module that echoes every frame, or spoils the checksum of every read
// reply: the echo is not taken for the header, and a reply whose checksum is
// wrong gives no value.
TEST(ReadBackHostile, anEchoIsNoHeaderAndABadChecksumIsNoValue) {
    sim::ModuleOptions echo;
    echo.echo = true;
    sim::ModuleOptions badChecksum;
    badChecksum.badChecksumProbability = 1.0;
    const struct {
        sim::ModuleOptions options;
        std::string macroId, bootMacro, macroCount;
    } cases[] = {{echo, " 7", " 3", " 2"}, {badChecksum, "", "Read Failed", "Read Failed"}};
    for (const auto& c : cases) {
        brindle::testing::TempDir dir;
        sim::FakeLink link(c.options);
        auto& e = link.module.eeprom();
        e[0] = 7;
        e[1] = 3;
        e[2] = 2;
        e[3] = 'X';
        std::copy(kStoredImages.begin(), kStoredImages.end(), e.begin() + 3586);
        brindle::testing::RecordingReadBackView view;
        brindle::testing::ScriptedPrompter prompter;
        utilities::readE2prom(link.ctx, view, prompter, dir.file("e2read.tmp"));
        EXPECT_EQ(view.text, kShownText) << c.macroId;
        EXPECT_EQ(view.macroId(), c.macroId);
        EXPECT_EQ(view.bootMacro(), c.bootMacro);
        EXPECT_EQ(view.macroCount(), c.macroCount);
    }
}

// A dump that trickles on for ever, a byte pair every 5 ms: slower than the
// line, so the count would take minutes; the clock ends it, with a message.
TEST_F(ReadBack, aDumpThatTricklesForEverEndsAfterItsTimeBoundAndSaysSo) {
    storeDownload();
    link.module.options().trickleIntervalMicros = 5000;
    const int64_t start = link.pump.nowMicros();
    const auto result = read();
    const int64_t took = link.pump.nowMicros() - start;
    EXPECT_TRUE(result.cutShort);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("did not stop sending"), std::string::npos);
    // 2 x (2 x 29182 + 512) bytes of 10 bits at 38400 baud, and 5 s; then
    // the busy check before and the location reads after it (25 and 4 x 5
    // ticks of 55 ms).
    EXPECT_GE(took, 35'664'584);
    EXPECT_LT(took, 35'664'584 + 3'000'000);
    // Its answers would come behind the stream: the locations are not read.
    EXPECT_EQ(wire(), kDumpHex);
    EXPECT_EQ(view.macroId(), "");
    EXPECT_EQ(view.bootMacro(), "Read Failed");
    EXPECT_EQ(view.macroCount(), "Read Failed");
}

// Cancel while the dump arrives, and while the controller is listened to
// before anything is sent: the read ends within a tick, nothing more goes
// out, and the fields show what a read without an answer shows.
TEST_F(ReadBack, cancelEndsTheReadWithinATickAndSendsNothingMore) {
    for (const bool duringDump : {true, false}) {
        const std::size_t mark = link.module.received().size();
        storeDownload(std::string(4000, 'A'));
        int64_t cancelledAt = -1;
        const auto cancel = [&] {
            link.ctx.CancelFlag = true;
            cancelledAt = link.pump.nowMicros();
        };
        if (duringDump) {
            link.pump.setIdleHook([&] {
                if (link.port.InBufferCount() > 0 && cancelledAt < 0 &&
                    link.module.received().size() - mark == 7) {
                    cancel();
                }
            });
        } else {
            // A click while the controller is listened to, 10 ms in.
            link.pump.schedule(link.pump.nowMicros() + 10'000, cancel);
        }
        const auto result = read();
        link.pump.setIdleHook({});
        EXPECT_TRUE(result.cancelled);
        EXPECT_LE(link.pump.nowMicros() - cancelledAt, link.pump.effectiveIntervalMicros());
        EXPECT_EQ(toHex(link.module.received().substr(mark)), duringDump ? kDumpHex : "");
        EXPECT_EQ(view.text, "Read Failed");
        EXPECT_EQ(view.macroId(), "");
        EXPECT_EQ(view.bootMacro(), "Read Failed");
        EXPECT_EQ(view.macroCount(), "Read Failed");
        EXPECT_FALSE(view.readingMessage);
        EXPECT_TRUE(prompter.messages.empty());
    }
}
