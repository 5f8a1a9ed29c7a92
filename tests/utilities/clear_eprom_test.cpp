// The clear utility against the fake module on virtual time: one write and
// one read per attempt, the percentage, the attempt limit, late replies, the
// refused and empty ranges, Cancel, and the switch that shows the frame.
#include "utilities/clear_eprom.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "sim/fake_link.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/utilities/recording_utility_views.h"

using namespace brindle;
using brindle::testing::hexBytes;
using brindle::testing::toHex;
using utilities::ClearOutcome;

namespace {

constexpr const char* kSuccess = "Clear Program Process Successful! ";
constexpr const char* kFailure = "Clear Program Process Unsuccessful ";

// The write of 0 to a location below 256 and the read of it.
std::string writeOf(int location) {
    char hex[64];
    std::snprintf(hex, sizeof hex, "23 41 06 57 00 %02X 00 %02X 0D", location, 0x9E + location);
    return hexBytes(hex);
}
std::string readOf(int location) {
    char hex[64];
    std::snprintf(hex, sizeof hex, "23 41 05 52 00 %02X %02X 0D", location, 0x98 + location);
    return hexBytes(hex);
}

int count(const std::string& text, const std::string& bytes) {
    int n = 0;
    for (std::size_t at = text.find(bytes); at != std::string::npos;
         at = text.find(bytes, at + 1)) {
        ++n;
    }
    return n;
}

sim::ModuleOptions silent() {
    sim::ModuleOptions o;
    o.silent = true;
    return o;
}

class ClearUtility : public ::testing::Test {
  protected:
    explicit ClearUtility(sim::ModuleOptions options = {}) : link(options) {}

    ClearOutcome clear(const std::string& start, const std::string& end) {
        return utilities::runClearUtility(link.ctx, link.state, view, prompter, start, end);
    }
    std::string wire() const { return link.module.received(); }
    std::string lastMessage() const {
        return prompter.messages.empty() ? std::string() : prompter.messages.back().text;
    }

    sim::FakeLink link;
    brindle::testing::RecordingClearView view;
    brindle::testing::ScriptedPrompter prompter;
};

class SilentModule : public ClearUtility {
  protected:
    SilentModule() : ClearUtility(silent()) {}
};

}  // namespace

TEST_F(ClearUtility, zeroToSixteenIsSeventeenWriteReadPairsWithThePercentRunningToAHundred) {
    EXPECT_EQ(clear("0", "16"), ClearOutcome::Succeeded);
    std::string expected;
    for (int location = 0; location <= 16; ++location) {
        expected += writeOf(location) + readOf(location);
    }
    EXPECT_EQ(toHex(wire()), toHex(expected));
    EXPECT_EQ(toHex(wire().substr(0, 17)), "23 41 06 57 00 00 00 9E 0D 23 41 05 52 00 00 98 0D");
    EXPECT_EQ(view.progress, (std::vector<int>{0, 0, 6, 12, 19, 25, 31, 38, 44, 50, 56, 62, 69, 75,
                                               81, 88, 94, 100}));
    EXPECT_EQ(view.captions.front(), "     0 % Complete");
    EXPECT_EQ(view.captions[8], "     50 % Complete");
    EXPECT_EQ(view.captions.back(), "    100 % Complete");
    EXPECT_EQ(view.statusLines, (std::vector<std::string>{"Clearing .."}));
    EXPECT_EQ(lastMessage(), kSuccess);
    EXPECT_EQ(prompter.messages.back().icon, base::Icon::Information);
    EXPECT_FALSE(link.state.QueryReset);
    EXPECT_FALSE(view.progressFrame);
    EXPECT_EQ(view.frameShown, 1);
    EXPECT_EQ(view.buttonChanges, (std::vector<bool>{false, true}));
    const auto& e = link.module.eeprom();
    EXPECT_EQ(std::count(e.begin(), e.begin() + 17, 0), 17);
    EXPECT_EQ(e[17], 0xFF);
}

TEST_F(ClearUtility, anEmptyOrReversedRangeSendsNothingSaysNothingAndLeavesTheRequest) {
    for (auto [start, end] : {std::pair{"5", "5"}, std::pair{"16", "0"}, std::pair{"", ""}}) {
        EXPECT_EQ(clear(start, end), ClearOutcome::EmptyRange) << start << ".." << end;
        EXPECT_TRUE(link.state.QueryReset);
    }
    EXPECT_EQ(wire(), "");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(view.frameShown, 0);
}

TEST_F(ClearUtility, aLocationOutsideTheEpromIsRefusedWithAMessageAndNothingSent) {
    const std::pair<const char*, const char*> ranges[] = {
        {"-1", "16"}, {"0", "32768"}, {"40000", "16"}, {"0", "1E9"}, {"-0.6", "3"}};
    for (auto [start, end] : ranges) {
        prompter.messages.clear();
        EXPECT_EQ(clear(start, end), ClearOutcome::Refused) << start << ".." << end;
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
        EXPECT_NE(lastMessage().find("Nothing was sent"), std::string::npos);
        EXPECT_FALSE(link.state.QueryReset);
    }
    EXPECT_EQ(wire(), "");
}

TEST_F(ClearUtility, fieldsAreReadAsNumbersToTheNearestEvenInteger) {
    // 2.5 is 2 and 3.5 is 4; text that is no number is 0; 32767 is allowed.
    EXPECT_EQ(clear(" 2.5", "3.5 "), ClearOutcome::Succeeded);
    EXPECT_EQ(toHex(wire()),
              toHex(writeOf(2) + readOf(2) + writeOf(3) + readOf(3) + writeOf(4) + readOf(4)));
    EXPECT_EQ(clear("abc", "1"), ClearOutcome::Succeeded);
    EXPECT_EQ(count(wire(), writeOf(0)), 1);
    EXPECT_EQ(clear("32766", "32767"), ClearOutcome::Succeeded);
    EXPECT_EQ(toHex(wire().substr(wire().size() - 17)),
              "23 41 06 57 7F FF 00 1C 0D 23 41 05 52 7F FF 16 0D");
}

TEST_F(SilentModule, fortyAttemptsOnTheFirstLocationThenTheRunStops) {
    EXPECT_EQ(clear("5", "16"), ClearOutcome::Failed);
    EXPECT_EQ(count(wire(), writeOf(5)), 40);
    EXPECT_EQ(count(wire(), readOf(5)), 40);
    EXPECT_EQ(wire().size(), 40u * 17u);
    EXPECT_EQ(lastMessage(), kFailure);
    EXPECT_EQ(prompter.messages.back().icon, base::Icon::Information);
    EXPECT_TRUE(link.ctx.CancelFlag);
    EXPECT_EQ(view.retryShown, 40);
    EXPECT_FALSE(view.retrying);
    EXPECT_FALSE(link.state.QueryReset);
}

TEST_F(ClearUtility, aLateReplyIsFoundByALaterAttempt) {
    // The answer comes two ticks after the read: past the one tick settled.
    link.module.options().latencyMicros = 2 * link.pump.effectiveIntervalMicros();
    EXPECT_EQ(clear("0", "1"), ClearOutcome::Succeeded);
    EXPECT_GE(count(wire(), writeOf(0)), 2);
    EXPECT_EQ(lastMessage(), kSuccess);
}

TEST_F(ClearUtility, cancelSkipsTheRemainingLocationsAndReportsFailure) {
    link.pump.setIdleHook([this] {
        if (wire().find(readOf(3)) != std::string::npos) {
            link.ctx.CancelFlag = true;
        }
    });
    EXPECT_EQ(clear("0", "16"), ClearOutcome::Failed);
    EXPECT_EQ(wire().find(writeOf(4)), std::string::npos);
    EXPECT_EQ(lastMessage(), kFailure);
    EXPECT_EQ(link.module.eeprom()[4], 0xFF);
}

TEST_F(ClearUtility, closingTheWindowEndsTheRunAtOnce) {
    link.pump.setIdleHook([this] {
        if (wire().find(readOf(1)) != std::string::npos) {
            link.shared.Closing.request();
        }
    });
    EXPECT_EQ(clear("0", "200"), ClearOutcome::Failed);
    EXPECT_EQ(wire().find(writeOf(2)), std::string::npos);
}

TEST_F(ClearUtility, theReceiveWindowIsOffDuringTheRunAndOnAfterIt) {
    link.ctx.lines.ReceiveWindowTicked = true;
    link.shared.ReceiveWindowActive = true;
    bool activeWhileClearing = false;
    link.pump.setIdleHook([&] {
        if (!wire().empty()) {
            activeWhileClearing = activeWhileClearing || link.shared.ReceiveWindowActive;
        }
    });
    clear("0", "3");
    EXPECT_FALSE(activeWhileClearing);
    EXPECT_TRUE(link.shared.ReceiveWindowActive);
}

TEST(EnableClearUtility, tickingShowsTheFrameThenWarnsAndUntickingHidesIt) {
    brindle::testing::ScriptedPrompter prompter;
    // Each change of the frame with the number of messages shown before it.
    std::vector<std::pair<bool, std::size_t>> frame;
    auto showFrame = [&](bool visible) { frame.emplace_back(visible, prompter.messages.size()); };
    utilities::EnableClearUtility(true, showFrame, prompter);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Please Contact Technical Support before using this feature");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Exclamation);
    EXPECT_EQ(prompter.messages[0].buttons, base::Buttons::Ok);
    EXPECT_EQ(prompter.messages[0].title, "Brindle");
    utilities::EnableClearUtility(false, showFrame, prompter);
    utilities::EnableClearUtility(true, showFrame, prompter);
    using Change = std::pair<bool, std::size_t>;
    EXPECT_EQ(frame, (std::vector<Change>{{true, 0}, {false, 1}, {true, 1}}));
    EXPECT_EQ(prompter.messages.size(), 2u);
}
