// Reading the module, changed-only download, backup and restore against the
// fake module. The oracle is the whole download: a module after a
// changed-only download must hold exactly what it holds after a whole one.
#include "contents/changed_download.h"

#include <gtest/gtest.h>

#include "contents/module_reading.h"
#include "link/receive_window.h"
#include "sim/fake_link.h"
#include "store/databases.h"
#include "tests/download/recording_download_view.h"
#include "tests/support/library_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using download::DownloadOutcome;

namespace {

const std::string kPick = "1 MA 1000\r\nGOTO END\r\nMACRO 2\r\nEND:\r\n1 ST 255";
const std::string kPlace = "LOOP:\r\n2 ma 7\r\nGOTO LOOP\r\n2 MR 40";
const std::string kHome = "3 HO\r\n3 MA 0";
const std::string kHomeEdited = "3 HO\r\n3 MA 5";

// A library with OLD (PICK, PLACE, HOME in slots 0, 1, 3) and NEW, the same
// with HOME's text edited, and the module on a fake link.
class Contents : public ::testing::Test {
  protected:
    Contents() {
        const int32_t pick = brindle::testing::addMacro(dir.path(), "PICK", kPick);
        const int32_t place = brindle::testing::addMacro(dir.path(), "PLACE", kPlace);
        const int32_t home = brindle::testing::addMacro(dir.path(), "HOME", kHome);
        const int32_t edited = brindle::testing::addMacro(dir.path(), "HOME", kHomeEdited);
        brindle::testing::addCombo(dir.path(), "OLD", {{0, pick}, {1, place}, {3, home}}, 9, 2);
        brindle::testing::addCombo(dir.path(), "NEW", {{0, pick}, {1, place}, {3, edited}}, 9, 2);
    }

    struct Rig {
        explicit Rig(const std::string& data, sim::ModuleOptions options = {})
            : link(options), ctx(link.port, link.pump, link.receive, view, link.shared, lines) {
            link.state.DataDir = data;
            ctx.WakeUpLimit = 4;
            // The run's own context counts the ticks.
            link.pump.setTickHandler([this] { link::timerTick(ctx, link.port); });
        }
        sim::FakeLink link;
        brindle::testing::RecordingDownloadView view;
        brindle::testing::ScriptedPrompter prompter;
        link::ReceivedLines lines;
        link::LinkContext ctx;
    };

    download::PlanResult plan(const std::string& name) {
        return download::planDownload(dir.path(), name, state::kMacroArea);
    }
    DownloadOutcome whole(Rig& rig, const std::string& name) {
        return download::runDownload(rig.ctx, rig.link.state, rig.view, rig.prompter,
                                     download::DownloadRequest{true, 1, plan(name)});
    }
    contents::ChangedDownloadResult changed(Rig& rig, const std::string& name) {
        return contents::runChangedOnlyDownload(rig.ctx, rig.link.state, rig.view, rig.prompter,
                                                download::DownloadRequest{true, 1, plan(name)});
    }
    // The module after whole downloads of the names in turn.
    std::vector<uint8_t> reference(const std::vector<std::string>& names) {
        Rig rig(dir.path());
        for (const std::string& name : names) {
            EXPECT_EQ(whole(rig, name), DownloadOutcome::Succeeded);
        }
        return rig.link.module.eeprom();
    }

    brindle::testing::TempDir dir;
};

TEST_F(Contents, aBlankModuleGetsTheWholeDownload) {
    Rig rig(dir.path());
    const auto result = changed(rig, "NEW");
    EXPECT_EQ(result.outcome, DownloadOutcome::Succeeded);
    EXPECT_TRUE(result.wholeDownload);
    EXPECT_EQ(rig.link.module.eeprom(), reference({"NEW"}));
}

TEST_F(Contents, anIdenticalCombinationWritesNothingAtAll) {
    Rig rig(dir.path());
    ASSERT_EQ(whole(rig, "OLD"), DownloadOutcome::Succeeded);
    const int writes = rig.link.module.writesReceived();
    const auto result = changed(rig, "OLD");
    EXPECT_EQ(result.outcome, DownloadOutcome::Succeeded);
    EXPECT_TRUE(result.unchanged);
    EXPECT_EQ(rig.link.module.writesReceived(), writes);
    EXPECT_EQ(rig.prompter.messages.back().text, contents::kNothingChanged);
}

TEST_F(Contents, anEditedMacroWritesOnlyWhatDiffersAndEndsAsAWholeDownloadDoes) {
    Rig rig(dir.path());
    ASSERT_EQ(whole(rig, "OLD"), DownloadOutcome::Succeeded);
    const int writes = rig.link.module.writesReceived();
    const auto result = changed(rig, "NEW");
    EXPECT_EQ(result.outcome, DownloadOutcome::Succeeded);
    EXPECT_FALSE(result.wholeDownload);
    EXPECT_EQ(rig.link.module.eeprom(), reference({"OLD", "NEW"}));
    // "0" became "5": one byte between "Z" and "X".
    EXPECT_EQ(rig.link.module.writesReceived() - writes, 3);
    ASSERT_EQ(result.changes.macros.size(), 1u);
    EXPECT_EQ(result.changes.macros[0].position, 4);
    EXPECT_EQ(rig.prompter.messages.back().text, contents::kDownloadSucceeded);
}

TEST_F(Contents, aByteTheFirstTwoDumpsDisagreeOnIsSettledByAThird) {
    sim::ModuleOptions options;
    options.corruptDumpOffset = 5;
    Rig rig(dir.path(), options);
    ASSERT_EQ(whole(rig, "OLD"), DownloadOutcome::Succeeded);
    const int writes = rig.link.module.writesReceived();
    const auto result = changed(rig, "OLD");
    EXPECT_TRUE(result.unchanged);
    EXPECT_EQ(rig.link.module.writesReceived(), writes);
    const std::string dump = brindle::testing::hexBytes("23 41 04 45 32 BC 0D");
    const std::string& wire = rig.link.module.received();
    int dumps = 0;
    for (std::size_t at = wire.find(dump); at != std::string::npos; at = wire.find(dump, at + 1)) {
        ++dumps;
    }
    EXPECT_EQ(dumps, 3);
}

TEST_F(Contents, onANoisyLineEveryRunEndsExactOrHonestlyFailed) {
    const std::vector<uint8_t> exact = reference({"OLD", "NEW"});
    int succeeded = 0;
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        Rig rig(dir.path());
        ASSERT_EQ(whole(rig, "OLD"), DownloadOutcome::Succeeded);
        rig.link.module.options().seed = seed;
        rig.link.module.options().dropProbability = 0.2;
        rig.link.module.options().corruptByteProbability = 0.01;
        const auto result = changed(rig, "NEW");
        if (result.outcome == DownloadOutcome::Succeeded) {
            ++succeeded;
            EXPECT_EQ(rig.link.module.eeprom(), exact) << "seed " << seed;
        } else {
            EXPECT_NE(rig.link.module.eeprom()[3], 'X') << "seed " << seed;
        }
    }
    EXPECT_GT(succeeded, 0);
}

TEST_F(Contents, aBackupRestoredIntoABlankModuleGivesTheModuleBack) {
    Rig rig(dir.path());
    ASSERT_EQ(whole(rig, "OLD"), DownloadOutcome::Succeeded);
    const std::vector<uint8_t> before = rig.link.module.eeprom();
    contents::ModuleContents held;
    ASSERT_EQ(contents::readForBackup(rig.ctx, held), contents::ReadingEnd::Read);
    EXPECT_EQ(contents::slotsInUse(held), (std::vector<int>{0, 1, 3}));

    Rig blank(dir.path());
    const auto restored = contents::runRestore(blank.ctx, blank.view, blank.prompter, held);
    EXPECT_EQ(restored.outcome, DownloadOutcome::Succeeded);
    EXPECT_EQ(blank.link.module.eeprom(), before);
    // "Z" first, "X" last.
    const std::string& wire = blank.link.module.received();
    const std::string markZ = brindle::testing::hexBytes("23 41 06 57 00 03 5A FB 0D");
    const std::string markX = brindle::testing::hexBytes("23 41 06 57 00 03 58 F9 0D");
    const std::string node = brindle::testing::hexBytes("23 41 06 57 00 00 09 A7 0D");
    ASSERT_NE(wire.find(node), std::string::npos);
    EXPECT_LT(wire.find(markZ), wire.find(node));
    EXPECT_GT(wire.rfind(markX), wire.rfind(node));
}

// Reads that go unanswered through the batch and every try leave the header
// and the first start entries unknown; they are counted, since afterwards
// they look like the entries of slots not in use.
TEST_F(Contents, aBackupReadCountsTheTableEntriesItCouldNotRead) {
    Rig rig(dir.path());
    ASSERT_EQ(whole(rig, "OLD"), DownloadOutcome::Succeeded);
    const int before = rig.link.module.readsReceived();
    // Read before + 1 is location 3; the first batch (0, 1, 2, 16 to 28) and
    // the three tries of each of 0, 1, 2, 16, 17, 18, 19 go unanswered.
    for (int read = before + 2; read <= before + 1 + 16 + 7 * contents::kLocationReadTries;
         ++read) {
        rig.link.module.options().dropReads.insert(read);
    }
    contents::ModuleContents held;
    int unread = -1;
    ASSERT_EQ(contents::readForBackup(rig.ctx, held, &unread), contents::ReadingEnd::Read);
    EXPECT_EQ(unread, 7);
    EXPECT_FALSE(held.known(state::kStartTable));
    EXPECT_EQ(contents::slotsInUse(held), (std::vector<int>{3}));

    contents::ModuleContents again;
    unread = -1;
    ASSERT_EQ(contents::readForBackup(rig.ctx, again, &unread), contents::ReadingEnd::Read);
    EXPECT_EQ(unread, 0);
    EXPECT_EQ(contents::slotsInUse(again), (std::vector<int>{0, 1, 3}));
}

TEST_F(Contents, aModuleThatStopsAnsweringLeavesNoCompleteMark) {
    Rig rig(dir.path());
    ASSERT_EQ(whole(rig, "OLD"), DownloadOutcome::Succeeded);
    // Enough frames to read the module, not to write the change.
    rig.link.module.options().stopAfterFrames = rig.link.module.model().framesReceived() + 40;
    const auto result = changed(rig, "NEW");
    EXPECT_EQ(result.outcome, DownloadOutcome::Failed);
    EXPECT_NE(rig.link.module.eeprom()[3], 'X');
    EXPECT_EQ(rig.prompter.messages.back().text.rfind(contents::kDownloadFailed, 0), 0u);
}

TEST_F(Contents, aModuleWithoutACompleteDownloadIsReadNoFurther) {
    Rig rig(dir.path());
    contents::ModuleContents held;
    const auto p = plan("OLD");
    EXPECT_EQ(contents::readForPlan(rig.ctx, **p, held), contents::ReadingEnd::Incomplete);
    EXPECT_EQ(rig.link.module.readsReceived(), 1);
    EXPECT_EQ(held.knownCount(), 1);
}

}  // namespace
