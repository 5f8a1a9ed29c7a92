#include "download/transfer.h"
#include "link/percent_caption.h"

#include <gtest/gtest.h>

#include "link/frames.h"
#include "link/receive_window.h"
#include "sim/fake_link.h"
#include "store/databases.h"
#include "tests/download/recording_download_view.h"
#include "tests/support/library_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::hexBytes;
using brindle::testing::toHex;
using download::DownloadOutcome;

namespace {

const std::string& kFirstText = brindle::testing::kWorkedExample;
const std::string& kFirstImage = brindle::testing::kWorkedExampleImage;
const std::string& kSecondText = brindle::testing::kSecondMacro;
const std::string& kSecondImage = brindle::testing::kSecondMacroImage;

class Transfer : public ::testing::Test {
  protected:
    explicit Transfer(sim::ModuleOptions options = {})
        : link(options), ctx(link.port, link.pump, link.receive, view, link.shared, lines) {
        link.state.DataDir = dir.path();
        ctx.StartComm = true;
        // The run's own context counts the ticks.
        link.pump.setTickHandler([this] { link::timerTick(ctx, link.port); });
    }

    int32_t addMacro(const std::string& name, const std::string& text) {
        return brindle::testing::addMacro(dir.path(), name, text);
    }
    // The new combination is the one chosen for download.
    void addCombo(const std::string& name, std::vector<std::pair<int, int32_t>> slots,
                  int16_t node = 7, int16_t boot = 3) {
        brindle::testing::addCombo(dir.path(), name, slots, node, boot);
        view.customList = store::listComboNames(dir.path());
        view.selected = static_cast<int>(view.customList.size()) - 1;
    }
    // The usual combination: slot 0 and slot 2, slot 1 empty.
    void addTwoMacroCombo() {
        int32_t first = addMacro("FIRST", kFirstText);
        int32_t second = addMacro("SECOND", kSecondText);
        addCombo("TWO", {{0, first}, {2, second}});
    }
    // As the Down Load tab asks: what its list shows chosen, planned first.
    DownloadOutcome run() {
        const std::optional<std::string> chosen =
            view.selected >= 0
                ? std::optional(view.customList[static_cast<std::size_t>(view.selected)])
                : std::nullopt;
        return download::runDownload(
            ctx, link.state, view, prompter,
            download::downloadRequest(link.state, chosen,
                                      static_cast<int>(view.customList.size())));
    }
    std::string eeprom(int from, int count) {
        auto& e = link.module.eeprom();
        return std::string(e.begin() + from, e.begin() + from + count);
    }
    std::string lastMessage() {
        return prompter.messages.empty() ? std::string() : prompter.messages.back().text;
    }

    brindle::testing::TempDir dir;
    sim::FakeLink link;
    brindle::testing::RecordingDownloadView view;
    brindle::testing::ScriptedPrompter prompter;
    link::ReceivedLines lines;
    link::LinkContext ctx;
};

class SilentAfterStart : public Transfer {
  protected:
    SilentAfterStart() : Transfer(silentOptions()) {}
    static sim::ModuleOptions silentOptions() {
        sim::ModuleOptions o;
        o.silent = true;
        return o;
    }
};

}  // namespace

TEST_F(Transfer, writesHeaderTablesNamesAndImagesWithAnEmptySlotBetween) {
    addTwoMacroCombo();
    ASSERT_EQ(run(), DownloadOutcome::Succeeded);
    EXPECT_EQ(lastMessage(), "Download successful");
    EXPECT_EQ(prompter.messages.back().icon, base::Icon::Information);
    EXPECT_EQ(toHex(eeprom(0, 4)), "07 03 02 58");
    EXPECT_EQ(toHex(eeprom(16, 6)), "0E 02 FF FF 0E 1A");
    EXPECT_EQ(eeprom(526, 12), "FIRST       ");
    EXPECT_EQ(eeprom(538, 12), std::string(12, '\xFF'));
    EXPECT_EQ(eeprom(550, 12), "SECOND      ");
    EXPECT_EQ(toHex(eeprom(3586, 24)), toHex(kFirstImage));
    EXPECT_EQ(toHex(eeprom(3610, 14)), toHex(kSecondImage));
    EXPECT_EQ(toHex(eeprom(3624, 1)), "FF");
    EXPECT_TRUE(view.statArgument);
    EXPECT_EQ(view.macroBytes, (std::vector<std::string>{"", "24 Bytes", "14 Bytes", ""}));
    EXPECT_EQ(view.statusLines.back(), "Downloading Macro 3");
    // Entry k is selected for slot k, not the entry of slot k (the list
    // leaves alone an entry it does not have).
    EXPECT_EQ(view.macroSelections, (std::vector<int>{0, 2}));
    EXPECT_FALSE(view.progressFrameVisible);
    EXPECT_TRUE(view.macroListEnabled);
    EXPECT_TRUE(view.check1Enabled);
    EXPECT_EQ(view.buttonChanges, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.captions.front(), "     0 % Complete");
    EXPECT_EQ(view.captions.back(), "    100 % Complete");
}

TEST_F(Transfer, theFirstWriteMarksTheImageIncomplete) {
    addTwoMacroCombo();
    run();
    // After the wake-up probe the first frame on the wire writes "Z" to location 3.
    const std::string& wire = link.module.received();
    ASSERT_GE(wire.size(), 9u);
    EXPECT_EQ(toHex(wire.substr(0, 9)), "23 41 06 57 00 03 5A FB 0D");
    EXPECT_EQ(toHex(wire.substr(9, 8)), "23 41 05 52 00 03 9B 0D");
}

TEST_F(Transfer, aZeroByteImageKeepsItsTableEntryAndNameAndTheNextStartsThere) {
    int32_t empty = addMacro("EMPTY", "");
    int32_t second = addMacro("AFTER", "1 MA 5");
    addCombo("Z", {{0, empty}, {1, second}}, 1, 0);
    ASSERT_EQ(run(), DownloadOutcome::Succeeded);
    EXPECT_EQ(toHex(eeprom(16, 4)), "0E 02 0E 02");
    EXPECT_EQ(eeprom(526, 12), "EMPTY       ");
    EXPECT_EQ(eeprom(3586, 7), "1 MA 5\r");
    EXPECT_EQ(toHex(eeprom(0, 4)), "01 00 02 58");
}

TEST_F(Transfer, aShortNameIsWrittenWithItsBlanks) {
    int32_t m = addMacro("AB", "1 MA 5");
    addCombo("SHORT", {{4, m}}, 2, 5);
    ASSERT_EQ(run(), DownloadOutcome::Succeeded);
    EXPECT_EQ(toHex(eeprom(526 + 48, 12)), "41 42 20 20 20 20 20 20 20 20 20 20");
    EXPECT_EQ(toHex(eeprom(16 + 8, 2)), "0E 02");
}

TEST_F(Transfer, theNameOfAnEightySixByteImageReadsFourteenPercent) {
    std::string text;
    for (int i = 0; i < 7; ++i) {
        text += "1 MA 1000\r\n";
    }
    text += "1 MA 1234567890";
    int32_t m = addMacro("BIG", text);
    addCombo("PCT", {{0, m}}, 1, 1);
    ASSERT_EQ(run(), DownloadOutcome::Succeeded);
    ASSERT_EQ(view.macroBytes[1], "86 Bytes");
    // Progress: start caption, the macro's 0, then one value per name and image byte.
    ASSERT_EQ(view.progress.size(), 2u + 12u + 86u);
    EXPECT_EQ(view.progress[1 + 12], 14);
    EXPECT_EQ(view.captions[1 + 12], "     14 % Complete");
    EXPECT_EQ(view.progress.back(), 100);
}

TEST_F(Transfer, noSelectionSaysWhyAndSendsNothing) {
    EXPECT_EQ(run(), DownloadOutcome::NoSelection);
    EXPECT_EQ(lastMessage(), "No macro combinations have yet been created.");
    EXPECT_EQ(prompter.messages.back().icon, base::Icon::Critical);
    EXPECT_EQ(prompter.messages.back().title, "Brindle");
    view.customList = {"A               "};
    EXPECT_EQ(run(), DownloadOutcome::NoSelection);
    EXPECT_EQ(lastMessage(), "A macro combination has not been selected.");
    EXPECT_TRUE(link.module.received().empty());
    EXPECT_FALSE(view.progressFrameVisible);
}

TEST_F(Transfer, aNameThatIsNotFoundEndsSilentlyAfterMarkingTheImageIncomplete) {
    view.customList = {"GONE            "};
    view.selected = 0;
    EXPECT_EQ(run(), DownloadOutcome::NotFound);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(link.module.eeprom()[3], 'Z');
    EXPECT_EQ(link.module.model().writesReceived(), 1);
}

TEST_F(SilentAfterStart, fortyUnansweredWritesPerByteEndInAFailure) {
    addTwoMacroCombo();
    EXPECT_EQ(run(), DownloadOutcome::Failed);
    EXPECT_EQ(lastMessage(), "A download failure occurred");
    EXPECT_EQ(prompter.messages.back().icon, base::Icon::Critical);
    // 40 writes of "Z" to location 3, then 40 of the first start-table byte.
    EXPECT_EQ(link.module.model().writesReceived(), 80);
    EXPECT_TRUE(ctx.CancelFlag);
}

TEST_F(Transfer, cancelDuringTheWritesFailsAndLeavesTheIncompleteMark) {
    addTwoMacroCombo();
    const std::string nameWrite = link::writeFrame(530, 'T');
    link.pump.setIdleHook([&] {
        if (link.module.received().find(nameWrite) != std::string::npos) {
            download::requestCancel(ctx);
        }
    });
    EXPECT_EQ(run(), DownloadOutcome::Failed);
    EXPECT_EQ(lastMessage(), "A download failure occurred");
    EXPECT_EQ(link.module.eeprom()[3], 'Z');
    EXPECT_EQ(eeprom(550, 12), std::string(12, '\xFF'));  // the second macro was never sent
}

// How a run is stopped while its complete mark "X" is being verified; the
// value is how many requests to end the program it makes.
enum class StopAtMark {
    Cancel = 0,      // the "Z" is put back and verified
    EndProgram = 1,  // the window closing, Ctrl-C: the "Z" still goes out
    EndTwice = 2,    // a second request while the "Z" goes out: no read follows it
};

class StopAtTheCompleteMark : public Transfer, public ::testing::WithParamInterface<StopAtMark> {};

TEST_P(StopAtTheCompleteMark, stillPutsTheIncompleteMarkBack) {
    addTwoMacroCombo();
    const StopAtMark how = GetParam();
    const std::string markWrite = link::writeFrame(3, 'X');
    const std::string backWrite = hexBytes("23 41 06 57 00 03 5A FB 0D");
    int requests = 0;
    link.pump.setIdleHook([&] {
        const std::string& wire = link.module.received();
        const std::size_t mark = wire.find(markWrite);
        if (mark == std::string::npos) {
            return;
        }
        if (requests == 0) {
            ++requests;
            if (how == StopAtMark::Cancel) {
                download::requestCancel(ctx);
            } else {
                link.shared.Closing.request();
                ctx.CancelFlag = true;
            }
        } else if (requests == 1 && how == StopAtMark::EndTwice &&
                   wire.find(backWrite, mark) != std::string::npos) {
            ++requests;
            link.shared.Closing.request();
        }
    });
    EXPECT_EQ(run(), DownloadOutcome::Failed);
    EXPECT_EQ(link.module.eeprom()[3], 'Z');
    const std::string& wire = link.module.received();
    EXPECT_NE(wire.find(backWrite, wire.find(markWrite)), std::string::npos);
    const bool endsWithTheZ =
        wire.size() >= backWrite.size() &&
        wire.compare(wire.size() - backWrite.size(), backWrite.size(), backWrite) == 0;
    EXPECT_EQ(endsWithTheZ, how == StopAtMark::EndTwice);
    EXPECT_EQ(link.shared.Closing.requests(), static_cast<int>(how));
    if (how == StopAtMark::Cancel) {
        EXPECT_EQ(lastMessage(), "A download failure occurred");
    }
}

constexpr const char* kStopAtMarkNames[] = {"Cancel", "EndProgram", "EndTwice"};
INSTANTIATE_TEST_SUITE_P(Transfer, StopAtTheCompleteMark,
                         ::testing::Values(StopAtMark::Cancel, StopAtMark::EndProgram,
                                           StopAtMark::EndTwice),
                         [](const auto& stop) {
                             return std::string(kStopAtMarkNames[static_cast<int>(stop.param)]);
                         });

// With counted wake-ups, a talking controller that never answers ends the
// run before anything is written.
TEST_F(Transfer, aControllerThatNeverAnswersCountedWakeUpsEndsTheRunBeforeAnyWrite) {
    link.module.startChatter();
    link.module.options().syncReply = sim::SyncReply::None;
    ctx.WakeUpLimit = 2;
    addTwoMacroCombo();
    EXPECT_EQ(run(), DownloadOutcome::Unanswered);
    EXPECT_EQ(lastMessage(),
              "The controller is talking but does not answer the wake-up (CR CR, sent 2 times). "
              "Nothing was written to the Macro Module.");
    EXPECT_EQ(toHex(link.module.received()), "0D 0D 0D 0D");
    EXPECT_EQ(link.module.eeprom()[3], 0xFF);
    EXPECT_TRUE(ctx.WakeUpUnanswered);
}

// Cancel while the controller is being woken ends the run, the download as
// the program clear a pending clear request makes of it, before any write.
TEST_F(Transfer, cancelDuringTheSyncWaitEndsTheRunBeforeAnyWrite) {
    for (const bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "program clear" : "download");
        const std::size_t mark = link.module.received().size();
        link.module.startChatter();
        link.state.QueryReset = clear;
        addTwoMacroCombo();
        bool pressed = false;
        link.pump.setIdleHook([&] {
            if (!pressed && link.module.received().find("\r\r", mark) != std::string::npos) {
                pressed = true;
                download::requestCancel(ctx);
            }
        });
        EXPECT_EQ(run(), DownloadOutcome::Cancelled);
        EXPECT_TRUE(pressed);
        EXPECT_EQ(toHex(link.module.received().substr(mark)), "0D 0D");
        EXPECT_EQ(lastMessage(), clear ? "The clear was cancelled before anything was written to "
                                         "the Macro Module."
                                       : "The download was cancelled before anything was "
                                         "written to the Macro Module.");
        EXPECT_EQ(link.module.eeprom()[3], 0xFF);
        EXPECT_EQ(link.state.QueryReset, clear);
        link.pump.setIdleHook({});
    }
}

TEST_F(Transfer, aPendingClearRequestRunsAProgramClearInstead) {
    addTwoMacroCombo();
    link.state.QueryReset = true;
    EXPECT_EQ(run(), DownloadOutcome::ClearSucceeded);
    EXPECT_EQ(lastMessage(), "Clear Program Process Successful");
    EXPECT_FALSE(link.state.QueryReset);
    EXPECT_EQ(link.module.eeprom()[3], 'Z');
    EXPECT_EQ(link.module.model().writesReceived(), 1);
    EXPECT_EQ(toHex(eeprom(16, 2)), "FF FF");
}

TEST_F(SilentAfterStart, anUnconfirmedProgramClearSaysSo) {
    view.customList = {"ANY             "};
    view.selected = 0;
    link.state.QueryReset = true;
    EXPECT_EQ(run(), DownloadOutcome::ClearFailed);
    EXPECT_EQ(lastMessage(), "Clear Program Process Unsuccessful");
    EXPECT_EQ(prompter.messages.back().icon, base::Icon::Critical);
}

// The request the Down Load tab makes before a run: a stored name is
// planned, a missing one plans to nothing, and a pending clear plans nothing.
TEST_F(Transfer, theRequestPlansTheChosenNameUnlessAClearIsPending) {
    addTwoMacroCombo();
    struct Case {
        const char* name;
        std::optional<std::string> chosen;
        bool clearPending;
        std::vector<int> slots;  // of the plan; empty: no plan
    } cases[] = {
        {"nothing chosen", std::nullopt, false, {}},
        {"a stored name", "TWO", false, {0, 2}},
        {"a name not stored", "GONE", false, {}},
        {"a clear pending", "TWO", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        link.state.QueryReset = c.clearPending;
        const download::DownloadRequest request =
            download::downloadRequest(link.state, c.chosen, 3);
        EXPECT_EQ(request.chosen, c.chosen.has_value());
        EXPECT_EQ(request.combinationCount, 3);
        ASSERT_TRUE(request.plan.ok()) << request.plan.message();
        std::vector<int> slots;
        if (*request.plan) {
            for (const download::PlannedMacro& macro : (*request.plan)->macros) {
                slots.push_back(macro.slot);
            }
            EXPECT_EQ((*request.plan)->combo.Name, "TWO             ");
        }
        EXPECT_EQ(slots, c.slots);
    }
    EXPECT_TRUE(link.module.received().empty());
}

TEST_F(Transfer, combinationsThatCannotFitAreRefusedBeforeAnythingIsSent) {
    int32_t m = addMacro("OK", "1 MA 5");
    std::string labels;
    for (int i = 0; i < 101; ++i) {
        labels.append("L").append(std::to_string(i)).append(":1 MA 5\r\n");
    }
    int32_t tooManyLabels = addMacro("LABELS", labels);
    std::string big(16000, 'A');
    int32_t big1 = addMacro("BIG1", big);
    int32_t big2 = addMacro("BIG2", big);
    struct Case {
        std::vector<std::pair<int, int32_t>> slots;
        int16_t node;
        int16_t boot;
        const char* expect;
    };
    const std::vector<Case> cases = {
        {{{255, m}}, 1, 0, "position 256"},
        {{{0, m}}, 300, 0, "node address"},
        {{{0, m}}, -1, 0, "node address"},
        {{{0, m}}, 1, 256, "starting macro"},
        {{{0, m}, {1, tooManyLabels}}, 1, 0, "LABELS"},
        {{{0, big1}, {1, big2}}, 1, 0, "32767"},
        {{{0, 99}}, 1, 0, "cannot be read"},
    };
    int index = 0;
    for (const Case& c : cases) {
        addCombo(std::string("R").append(std::to_string(index++)), c.slots, c.node, c.boot);
        EXPECT_EQ(run(), DownloadOutcome::Refused) << c.expect;
        EXPECT_NE(lastMessage().find(c.expect), std::string::npos) << lastMessage();
        EXPECT_NE(lastMessage().find("Nothing was sent"), std::string::npos);
        EXPECT_EQ(prompter.messages.back().icon, base::Icon::Critical);
    }
    EXPECT_TRUE(link.module.received().empty());
    EXPECT_TRUE(link.port.outputs().empty());
    EXPECT_TRUE(view.buttonsEnabled);
}

// The two-macro combination writes 71 bytes: "Z", 2 + 12 + 24 for the first
// macro, 2 + 12 + 14 for the second and the 4 header bytes.
TEST_F(Transfer, overallProgressCountsEveryConfirmedByteAndTheMacroUnderWay) {
    addTwoMacroCombo();
    ASSERT_EQ(run(), DownloadOutcome::Succeeded);
    ASSERT_FALSE(view.overall.empty());
    const download::OverallProgress& first = view.overall.front();
    EXPECT_EQ(first.bytesWritten, 0);
    EXPECT_EQ(first.bytesTotal, 71);
    EXPECT_EQ(first.macroCount, 2);
    EXPECT_EQ(first.macro, 0);
    EXPECT_FALSE(first.secondsLeft);
    // Where each macro began, in bytes written before it.
    std::vector<std::pair<int, int>> macroStarts;
    int written = 0;
    int macro = 0;
    for (const download::OverallProgress& p : view.overall) {
        EXPECT_TRUE(p.bytesWritten == written || p.bytesWritten == written + 1);
        EXPECT_EQ(p.secondsLeft.has_value(), p.bytesWritten > 0);
        if (p.macro != macro) {
            macroStarts.emplace_back(p.macro, p.bytesWritten);
        }
        written = p.bytesWritten;
        macro = p.macro;
    }
    EXPECT_EQ(macroStarts, (std::vector<std::pair<int, int>>{{1, 1}, {2, 39}}));
    // At the start, after each byte, when each macro begins, at the end.
    EXPECT_EQ(view.overall.size(), 1u + 71 + 2 + 1);
    EXPECT_EQ(view.overall[view.overall.size() - 2].secondsLeft, 0);
    EXPECT_TRUE(view.overall.back().ended);
    EXPECT_EQ(download::overallProgressText(view.overall.back()),
              "71 of 71 bytes written, macro 2 of 2: SECOND");
}

TEST_F(SilentAfterStart, overallProgressEndsWithTheBytesThatWereConfirmed) {
    addTwoMacroCombo();
    EXPECT_EQ(run(), DownloadOutcome::Failed);
    EXPECT_TRUE(view.overall.back().ended);
    EXPECT_EQ(download::overallProgressText(view.overall.back()),
              "0 of 71 bytes written, macro 1 of 2: FIRST");
}

TEST_F(Transfer, overallProgressAfterACancelCountsOnlyConfirmedBytes) {
    addTwoMacroCombo();
    // Cancel while the fifth name character ('T' of "FIRST") is being verified.
    const std::string nameWrite = link::writeFrame(530, 'T');
    link.pump.setIdleHook([&] {
        if (link.module.received().find(nameWrite) != std::string::npos) {
            download::requestCancel(ctx);
        }
    });
    EXPECT_EQ(run(), DownloadOutcome::Failed);
    EXPECT_EQ(download::overallProgressText(view.overall.back()),
              "7 of 71 bytes written, macro 1 of 2: FIRST");
}

TEST(PercentCaption, keepsTheLastSevenCharactersBeforeTheWords) {
    // During a download: six blanks before the number.
    EXPECT_EQ(link::percentCaption(42, 6), "     42 % Complete");
    EXPECT_EQ(link::percentCaption(100, 6), "    100 % Complete");
    EXPECT_EQ(link::percentCaption(0, 6), "      0 % Complete");
    // At the start of a download and in the clear utility: five.
    EXPECT_EQ(link::percentCaption(0, 5), "     0 % Complete");
    EXPECT_EQ(link::percentCaption(50, 5), "     50 % Complete");
    EXPECT_EQ(link::percentCaption(100, 5), "    100 % Complete");
}
