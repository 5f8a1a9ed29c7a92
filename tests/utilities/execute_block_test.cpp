// Execute Block and Cancel Exec against the fake module on virtual time: the
// wake-up of a talking controller, the start-block frame, the confirmation,
// the attempt limits and the refusals that send nothing.
#include "utilities/execute_block.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "link/initialize_port.h"
#include "sim/fake_link.h"
#include "store/databases.h"
#include "tests/support/library_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/utilities/recording_utility_views.h"

using namespace brindle;
using brindle::testing::hexBytes;
using brindle::testing::toHex;
using utilities::ExecuteOutcome;

namespace {

constexpr const char* kNotDetected = "A confirmation of block execution was not detected.";

sim::ModuleOptions withOptions(bool silent, bool talking = false,
                               sim::SyncReply sync = sim::SyncReply::Frame) {
    sim::ModuleOptions o;
    o.silent = silent;
    o.chatterAtStart = talking;
    o.syncReply = sync;
    return o;
}

// How often bytes occurs in text.
int count(const std::string& text, const std::string& bytes) {
    int n = 0;
    for (std::size_t at = text.find(bytes); at != std::string::npos;
         at = text.find(bytes, at + 1)) {
        ++n;
    }
    return n;
}

class ExecuteBlock : public ::testing::Test {
  protected:
    explicit ExecuteBlock(sim::ModuleOptions options = {}) : link(options) {
        link.state.DataDir = dir.path();
        link.module.eeprom()[0] = 7;  // the node this module answers as
    }

    // Positions 1 and 3 (slot 1 empty), node 7; the combination is chosen.
    void chooseLine(int16_t node = 7) {
        const int32_t a = brindle::testing::addMacro(dir.path(), "FIRST", "1 MA 5");
        const int32_t b = brindle::testing::addMacro(dir.path(), "THIRD", "2 MA 5");
        brindle::testing::addCombo(dir.path(), "LINE", {{0, a}, {2, b}}, node, 3);
        choose("LINE");
    }
    void choose(const std::string& name) {
        view.combinations = store::listComboNames(dir.path());
        view.chosen = -1;
        for (std::size_t i = 0; i < view.combinations.size(); ++i) {
            if (base::trimTrailingBlanks(view.combinations[i]) == name) {
                view.chosen = static_cast<int>(i);
            }
        }
        auto combo = store::FindCombo(dir.path(), base::fixedWidth(name, 16));
        view.lines.clear();
        if (combo) {
            for (const auto& entry :
                 store::sequenceEntries(dir.path(), combo->record, link.state.MacroBuffer)) {
                view.lines.push_back(entry.line);
            }
        }
        view.selectedLine = -1;
    }
    ExecuteOutcome execute() {
        return utilities::runExecuteBlock(link.ctx, link.state, view, prompter, view.request());
    }
    ExecuteOutcome cancel() {
        return utilities::runCancelExec(link.ctx, link.state.DataDir, view, prompter,
                                        view.request());
    }
    std::string wire() const { return link.module.received(); }
    std::string lastMessage() const {
        return prompter.messages.empty() ? std::string() : prompter.messages.back().text;
    }

    brindle::testing::TempDir dir;
    sim::FakeLink link;
    brindle::testing::RecordingExecuteView view;
    brindle::testing::ScriptedPrompter prompter;
};

class SilentController : public ExecuteBlock {
  protected:
    SilentController() : ExecuteBlock(withOptions(true)) {}
};

class PrintingController : public ExecuteBlock,
                           public ::testing::WithParamInterface<sim::SyncReply> {
  protected:
    PrintingController() : ExecuteBlock(withOptions(false, true, GetParam())) {}
};

class NeverSyncingController : public ExecuteBlock {
  protected:
    NeverSyncingController() : ExecuteBlock(withOptions(false, true, sim::SyncReply::None)) {}
};

}  // namespace

TEST_F(ExecuteBlock, aQuietControllerRunsTheBlockAndConfirmsIt) {
    chooseLine();
    view.selectedLine = 1;
    EXPECT_EQ(execute(), ExecuteOutcome::Confirmed);
    EXPECT_EQ(toHex(wire()), "23 07 04 53 03 61 0D");
    EXPECT_EQ(lastMessage(), "Execute Command Successful");
    EXPECT_EQ(prompter.messages.back().icon, base::Icon::Information);
    EXPECT_TRUE(view.statArgument);
    EXPECT_TRUE(view.macroSizeVisible);
    EXPECT_TRUE(view.listEnabled);
    EXPECT_EQ(view.buttonChanges, (std::vector<bool>{false, true}));
    EXPECT_FALSE(view.cancelFrame);
    EXPECT_FALSE(link.ctx.Synched_Up);  // nobody talked, so no sync was needed
}

TEST_F(ExecuteBlock, theBlockIsThePositionTheSelectedLineShowsNotItsIndex) {
    chooseLine();
    ASSERT_EQ(view.lines.size(), 2u);
    view.selectedLine = 0;
    execute();
    view.selectedLine = 1;
    execute();
    EXPECT_EQ(toHex(wire()), "23 07 04 53 01 5F 0D 23 07 04 53 03 61 0D");
}

TEST(SequenceLinePosition, isReadFromTheFirstThreeCharactersBootMarkOrNot) {
    const struct {
        std::string line;
        std::optional<int> position;
    } cases[] = {
        {"  1  FIRST       ", 1},
        {"* 3  THIRD       ", 3},
        {" 12  TWELFTH     ", 12},
        {"255  LAST        ", 255},
        {"256  BEYOND      ", 256},
        {"     NOTHING     ", std::nullopt},
        {"  0  ZERO        ", std::nullopt},
        {"12", std::nullopt},
        {"x 4  ODD", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utilities::sequenceLinePosition(c.line), c.position) << c.line;
    }
}

TEST_P(PrintingController, isWokenAndSyncedBeforeTheCommandGoesOut) {
    chooseLine();
    view.selectedLine = 1;
    EXPECT_EQ(execute(), ExecuteOutcome::Confirmed);
    EXPECT_EQ(toHex(wire()), "0D 0D 23 07 04 53 03 61 0D");
    EXPECT_TRUE(link.ctx.Synched_Up);
    EXPECT_FALSE(link.ctx.CancelFlag);
    EXPECT_EQ(
        link.operation.statusLines,
        (std::vector<std::string>{"Executing block 3", "Downloading..", "Executing block 3"}));
    EXPECT_EQ(lastMessage(), "Execute Command Successful");
}

INSTANTIATE_TEST_SUITE_P(SyncFrameOrBlankY, PrintingController,
                         ::testing::Values(sim::SyncReply::Frame, sim::SyncReply::YesLine),
                         [](const ::testing::TestParamInfo<sim::SyncReply>& test) {
                             return test.param == sim::SyncReply::Frame ? "SyncFrame" : "BlankY";
                         });

TEST_F(SilentController, getsTheCommandAfterTheProbeFiveTimesThenNotDetected) {
    chooseLine();
    view.selectedLine = 1;
    int64_t ticksAtFirstByte = -1;
    link.pump.setIdleHook([&] {
        if (ticksAtFirstByte < 0 && !link.module.received().empty()) {
            ticksAtFirstByte = link.pump.ticks();
        }
    });
    EXPECT_EQ(execute(), ExecuteOutcome::NotConfirmed);
    EXPECT_EQ(count(wire(), hexBytes("23 07 04 53 03 61 0D")), 5);
    EXPECT_EQ(wire().size(), 35u);  // no CR CR
    EXPECT_EQ(lastMessage(), kNotDetected);
    EXPECT_GE(ticksAtFirstByte, 20);
    EXPECT_LE(ticksAtFirstByte, 21);
    // Each attempt: 15 ticks after the send and at most 25 for the first byte.
    EXPECT_LE(link.pump.ticks(), 21 + 5 * (15 + 25) + 5);
}

TEST_F(SilentController, aCancelGoesToNodeATenTimesWhateverTheNode) {
    chooseLine(200);
    EXPECT_EQ(cancel(), ExecuteOutcome::NotConfirmed);
    EXPECT_EQ(count(wire(), hexBytes("23 41 04 53 00 98 0D")), 10);
    EXPECT_EQ(wire().size(), 70u);
    EXPECT_EQ(lastMessage(), kNotDetected);
    EXPECT_EQ(view.unticks, 1);
}

TEST_F(SilentController, aReplyConfirmsOnlyTheBlockItNames) {
    const int32_t m = brindle::testing::addMacro(dir.path(), "M", "1 MA 5");
    brindle::testing::addCombo(dir.path(), "THREE", {{0, m}, {1, m}, {2, m}}, 7, 0);
    const struct {
        int line;
        ExecuteOutcome outcome;
        int commands;
    } cases[] = {
        {2, ExecuteOutcome::Confirmed, 1},
        {1, ExecuteOutcome::NotConfirmed, 5},
        {0, ExecuteOutcome::NotConfirmed, 5},
    };
    for (const auto& c : cases) {
        sim::FakeLink fresh(withOptions(true));
        fresh.state.DataDir = dir.path();
        fresh.pump.setIdleHook([&fresh, seen = std::size_t{0}]() mutable {
            while (fresh.module.received().size() >= seen + 7) {
                seen += 7;
                fresh.module.say("STATUS:B 2,B 1\r\n B 3\r\n");
            }
        });
        choose("THREE");
        view.selectedLine = c.line;
        EXPECT_EQ(
            utilities::runExecuteBlock(fresh.ctx, fresh.state, view, prompter, view.request()),
            c.outcome)
            << c.line;
        EXPECT_EQ(fresh.module.received().size(), 7u * c.commands) << c.line;
    }
}

TEST_F(SilentController, aLateConfirmationIsFoundByALaterAttempt) {
    chooseLine();
    view.selectedLine = 1;
    // The answer to the first command comes after that attempt stopped
    // waiting (15 + 25 ticks), while the second one settles.
    link.pump.setIdleHook([this, said = false]() mutable {
        if (!said && link.module.received().size() == 7) {
            said = true;
            const int64_t tick = link.pump.effectiveIntervalMicros();
            link.pump.schedule(link.pump.nowMicros() + 42 * tick,
                               [this] { link.module.say(" B 3\r\n"); });
        }
    });
    EXPECT_EQ(execute(), ExecuteOutcome::Confirmed);
    EXPECT_EQ(wire().size(), 14u);
}

TEST_F(ExecuteBlock, aConfirmationStillOnTheLineIsReadWhole) {
    // At 1200 bits per second the reply takes 50 ms; it starts just after the
    // 15 ticks that follow the send.
    link.ctx.settings.baud = 1200;
    link::InitializePort(link.ctx);
    link.module.options().baud = 1200;
    link.port.setLineSpeed(1200);
    link.module.options().latencyMicros = 16 * link.pump.effectiveIntervalMicros();
    chooseLine();
    view.selectedLine = 1;
    EXPECT_EQ(execute(), ExecuteOutcome::Confirmed);
    EXPECT_EQ(wire().size(), 7u);
}

TEST_F(NeverSyncingController, cancelEndsTheSyncAndTheCommandIsNotSent) {
    chooseLine();
    view.selectedLine = 1;
    link.pump.schedule(3'000'000, [this] {
        EXPECT_TRUE(view.cancelFrame);  // the Cancel button is there to press
        link.ctx.CancelFlag = true;
    });
    EXPECT_EQ(execute(), ExecuteOutcome::Cancelled);
    EXPECT_GE(link.pump.nowMicros(), 3'000'000);
    EXPECT_EQ(toHex(wire()), "0D 0D");
    EXPECT_EQ(prompter.messages.back().text, "The block command was cancelled before it was sent.");
}

TEST_F(ExecuteBlock, theReminderIsShownOnceForAChosenCombination) {
    chooseLine();
    view.selectedLine = 1;
    execute();
    execute();
    cancel();
    int reminders = 0;
    for (const auto& m : prompter.messages) {
        if (m.title == "Confirm Code in E-PROM") {
            ++reminders;
            EXPECT_EQ(m.text,
                      "Make sure that the macro combination denoted here has already been "
                      "downloaded to the destination E-PROM.");
            EXPECT_EQ(m.icon, base::Icon::Exclamation);
        }
    }
    EXPECT_EQ(reminders, 1);
    EXPECT_EQ(prompter.messages.front().title, "Confirm Code in E-PROM");
    EXPECT_TRUE(link.state.NotifyExecute);
    link.state.NotifyExecute = false;  // the combination is chosen again
    execute();
    EXPECT_EQ(prompter.messages[prompter.messages.size() - 2].title, "Confirm Code in E-PROM");
}

TEST_F(ExecuteBlock, selectionsThatAreMissingAreNamedAndNothingIsSent) {
    const struct {
        bool combos;
        bool chosen;
        bool lines;
        bool cancel;
        const char* message;
    } cases[] = {
        {false, false, false, false, "No macro combinations have yet been created."},
        {true, false, true, false, "A macro combination has not been selected."},
        {true, false, true, true, "A macro combination has not been selected."},
        {true, true, false, false, "No macros or blocks have been defined."},
        {true, true, true, false, "A macro (block) has not been selected."},
    };
    for (const auto& c : cases) {
        view.combinations =
            c.combos ? std::vector<std::string>{"LINE            "} : std::vector<std::string>{};
        view.chosen = c.chosen ? 0 : -1;
        view.lines =
            c.lines ? std::vector<std::string>{"  1  FIRST       "} : std::vector<std::string>{};
        view.selectedLine = -1;
        prompter.messages.clear();
        link.state.NotifyExecute = true;
        const auto outcome = c.cancel ? cancel() : execute();
        EXPECT_EQ(outcome, ExecuteOutcome::NoSelection) << c.message;
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(prompter.messages.back().icon, base::Icon::Critical);
    }
    EXPECT_EQ(wire(), "");
    EXPECT_FALSE(link.shared.ReceiveWindowActive);
}

TEST_F(ExecuteBlock, aCombinationMissingFromTheDatabaseEndsSilentlyWithNothingSent) {
    chooseLine();
    view.combinations = {"GONE            "};
    view.chosen = 0;
    view.selectedLine = 0;
    link.state.NotifyExecute = true;
    EXPECT_EQ(execute(), ExecuteOutcome::NotFound);
    EXPECT_EQ(cancel(), ExecuteOutcome::NotFound);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(wire(), "");
    EXPECT_TRUE(view.listEnabled);
}

TEST_F(ExecuteBlock, aNodeAddressThatIsNoByteIsRefusedBeforeAnythingIsSent) {
    for (int16_t node : {int16_t{256}, int16_t{-1}}) {
        brindle::testing::TempDir other;
        link.state.DataDir = other.path();
        const int32_t m = brindle::testing::addMacro(other.path(), "M", "1 MA 5");
        brindle::testing::addCombo(other.path(), "BAD", {{0, m}}, node, 1);
        view.combinations = {"BAD             "};
        view.chosen = 0;
        view.lines = {"* 1  M           "};
        view.selectedLine = 0;
        link.state.NotifyExecute = true;
        prompter.messages.clear();
        EXPECT_EQ(execute(), ExecuteOutcome::Refused) << node;
        EXPECT_NE(lastMessage().find("Nothing was sent"), std::string::npos) << lastMessage();
        EXPECT_TRUE(view.listEnabled);
    }
    EXPECT_EQ(wire(), "");
    EXPECT_EQ(link.port.opens(), 1);  // only the rig's own opening
}

TEST_F(ExecuteBlock, aCancelNeedsNoSelectedLineAndIgnoresAnOddNode) {
    chooseLine(-5);
    EXPECT_EQ(cancel(), ExecuteOutcome::Confirmed);
    EXPECT_EQ(toHex(wire()), "23 41 04 53 00 98 0D");
    EXPECT_EQ(lastMessage(), "Cancel Command Successful");
}

TEST_F(ExecuteBlock, theReceiveWindowIsOffDuringARunOnAfterAnExecuteAndOffAfterACancel) {
    chooseLine();
    view.selectedLine = 1;
    link.ctx.lines.ReceiveWindowTicked = true;
    link.shared.ReceiveWindowActive = true;
    link.ctx.lines.ReceiveBuffer = "left over";
    bool activeWhileSending = false;
    link.pump.setIdleHook([&] {
        if (!link.module.received().empty()) {
            activeWhileSending = activeWhileSending || link.shared.ReceiveWindowActive;
        }
    });
    execute();
    EXPECT_FALSE(activeWhileSending);
    EXPECT_TRUE(link.shared.ReceiveWindowActive);
    EXPECT_EQ(link.ctx.lines.ReceiveBuffer, "");
    cancel();
    EXPECT_FALSE(link.shared.ReceiveWindowActive);
    EXPECT_EQ(view.unticks, 1);
}

namespace {

// The controller answers at the line's speed and the receive timer runs at
// 1 ms: on a slow line the confirmation takes several ticks to arrive whole.
class ExecuteBlockPaced : public ExecuteBlock, public ::testing::WithParamInterface<int32_t> {
  protected:
    ExecuteBlockPaced() : ExecuteBlock(pacedOptions()) {
        link.ctx.settings.baud = GetParam();
        link.pump.setInterval(1);
    }
    static sim::ModuleOptions pacedOptions() {
        sim::ModuleOptions o;
        o.baud = GetParam();
        return o;
    }
};

}  // namespace

TEST_P(ExecuteBlockPaced, theConfirmationIsAwaitedWholeAtAShortInterval) {
    chooseLine();
    view.selectedLine = 1;
    EXPECT_EQ(execute(), ExecuteOutcome::Confirmed);
    // One start-block frame: the first attempt was confirmed.
    EXPECT_EQ(toHex(wire()), "23 07 04 53 03 61 0D");
    EXPECT_EQ(lastMessage(), "Execute Command Successful");
}

INSTANTIATE_TEST_SUITE_P(Speeds, ExecuteBlockPaced, ::testing::Values(1200, 9600, 38400));
