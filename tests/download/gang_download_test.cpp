// Several fake modules downloaded at once, each line on its own thread and in
// its own virtual time: a line that fails, one that never answers and one
// whose adapter goes away end alone, the others finish byte for byte.
#include "download/gang_download.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "base/text.h"
#include "link/receive_window.h"
#include "link/receiving_port.h"
#include "sim/fake_gang_rig.h"
#include "sim/virtual_pump.h"
#include "state/eeprom_layout.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::toHex;

namespace {

enum class Trouble { None, StopsMidway, Silent, Unplugged };

sim::ModuleOptions optionsFor(Trouble trouble) {
    sim::ModuleOptions o;
    o.baud = 38400;
    o.silent = trouble == Trouble::Silent;
    // Answers the wake-up and a few writes, then nothing more.
    o.stopAfterFrames = trouble == Trouble::StopsMidway ? 12 : -1;
    return o;
}

class Gang : public ::testing::Test {
  public:
    Gang() {
        state.DataDir = dir.path();
        const int32_t first =
            brindle::testing::addMacro(dir.path(), "FIRST", brindle::testing::kWorkedExample);
        const int32_t second =
            brindle::testing::addMacro(dir.path(), "SECOND", brindle::testing::kSecondMacro);
        brindle::testing::addCombo(dir.path(), "TWO", {{0, first}, {2, second}}, 7, 3);
        auto planned =
            download::planDownload(dir.path(), base::fixedWidth("TWO", 16), state::kMacroArea);
        EXPECT_TRUE(planned && *planned);
        plan = **planned;
    }

    std::vector<download::GangLineResult> run(
        const std::vector<Trouble>& troubles,
        std::function<void(download::GangDownload&)> onChange = {},
        download::GangOperation operation = {}) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < troubles.size(); ++i) {
            names.push_back("line" + std::to_string(i));
        }
        eeproms.assign(troubles.size(), {});
        download::GangDownload gang(
            names, state, plan,
            [&](std::size_t i, link::SharedSignals& shared, download::DownloadView& view,
                link::ReceiveView& receive) -> std::unique_ptr<download::GangRig> {
                // Well into the writes: the wake-up is over after a few ticks.
                return std::make_unique<sim::FakeGangRig>(
                    shared, view, receive, optionsFor(troubles[i]), eeproms[i],
                    troubles[i] == Trouble::Unplugged ? 150'000 : -1);
            },
            std::move(operation));
        std::atomic<int> changes{0};
        gang.start([&] {
            ++changes;
            if (onChange) {
                onChange(gang);
            }
        });
        auto results = gang.wait();
        EXPECT_TRUE(gang.finished());
        EXPECT_GT(changes.load(), 0);
        last = gang.takeProgress();
        return results;
    }

    std::string eeprom(std::size_t line, int from, int count) {
        const auto& e = eeproms[line];
        return std::string(e.begin() + from, e.begin() + from + count);
    }

    brindle::testing::TempDir dir;
    state::MainState state;
    download::DownloadPlan plan;
    std::vector<std::vector<uint8_t>> eeproms;
    std::vector<download::GangLineProgress> last;
};

// Every byte the download writes: "Z", two table entries, two names, the
// images (24 + 14) and the 4 header bytes.
constexpr int kBytes = 1 + 2 * 2 + 2 * 12 + 24 + 14 + 4;

void expectWholeImage(Gang& g, std::size_t line) {
    SCOPED_TRACE("line " + std::to_string(line));
    EXPECT_EQ(toHex(g.eeprom(line, 0, 4)), "07 03 02 58");
    EXPECT_EQ(toHex(g.eeprom(line, 16, 6)), "0E 02 FF FF 0E 1A");
    EXPECT_EQ(g.eeprom(line, 526, 12), "FIRST       ");
    EXPECT_EQ(g.eeprom(line, 538, 12), std::string(12, '\xFF'));
    EXPECT_EQ(g.eeprom(line, 550, 12), "SECOND      ");
    EXPECT_EQ(toHex(g.eeprom(line, 3586, 24)), toHex(brindle::testing::kWorkedExampleImage));
    EXPECT_EQ(toHex(g.eeprom(line, 3610, 14)), toHex(brindle::testing::kSecondMacroImage));
    EXPECT_EQ(toHex(g.eeprom(line, 3624, 1)), "FF");
}

}  // namespace

TEST_F(Gang, troubledLinesEndAloneAndTheOthersWriteTheWholeImage) {
    const std::vector<Trouble> troubles = {Trouble::None,   Trouble::StopsMidway, Trouble::None,
                                           Trouble::Silent, Trouble::Unplugged,   Trouble::None};
    const auto results = run(troubles);
    ASSERT_EQ(results.size(), troubles.size());
    for (std::size_t i = 0; i < troubles.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        const auto& r = results[i];
        EXPECT_EQ(r.line, "line" + std::to_string(i));
        EXPECT_TRUE(last[i].ended);
        EXPECT_EQ(last[i].line, r.line);
        if (troubles[i] == Trouble::None) {
            EXPECT_TRUE(r.succeeded);
            EXPECT_EQ(r.message, "Download successful");
            EXPECT_EQ(r.bytes, kBytes);
            EXPECT_EQ(r.rewrites, 0);
            EXPECT_GT(r.seconds, 0.0);
            expectWholeImage(*this, i);
            continue;
        }
        EXPECT_FALSE(r.succeeded);
        EXPECT_LT(r.bytes, kBytes);
        // Never marked complete.
        EXPECT_NE(eeprom(i, 3, 1), "X");
        EXPECT_NE(r.message.find("A download failure occurred"), std::string::npos) << r.message;
    }
    // The one that stopped answering had its "Z" and some bytes confirmed;
    // the silent one none; the unplugged one says why.
    EXPECT_EQ(eeprom(1, 3, 1), "Z");
    EXPECT_GT(results[1].bytes, 0);
    EXPECT_EQ(results[3].bytes, 0);
    EXPECT_GT(results[3].rewrites, 0);
    EXPECT_NE(results[4].message.find("device removed"), std::string::npos) << results[4].message;
}

TEST_F(Gang, cancelAllLeavesNoLineMarkedCompleteThatDidNotFinish) {
    std::atomic<bool> cancelled{false};
    const auto results = run({Trouble::None, Trouble::None, Trouble::None, Trouble::None},
                             [&](download::GangDownload& gang) {
                                 if (cancelled) {
                                     return;
                                 }
                                 const auto progress = gang.takeProgress();
                                 if (progress[0].overall.bytesWritten >= 10) {
                                     cancelled = true;
                                     gang.cancelAll();
                                 }
                             });
    ASSERT_TRUE(cancelled);
    EXPECT_FALSE(results[0].succeeded);
    EXPECT_EQ(results[0].message.rfind("cancelled: ", 0), 0u) << results[0].message;
    for (std::size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        EXPECT_EQ(eeprom(i, 3, 1) == "X", results[i].succeeded);
        if (results[i].succeeded) {
            expectWholeImage(*this, i);
        } else {
            EXPECT_LT(results[i].bytes, kBytes);
        }
    }
}

TEST_F(Gang, aLineWhoseRigCannotBeMadeFailsAndTheOthersGoOn) {
    eeproms.assign(2, {});
    download::GangDownload gang(
        {"good", "none"}, state, plan,
        [&](std::size_t i, link::SharedSignals& shared, download::DownloadView& view,
            link::ReceiveView& receive) -> std::unique_ptr<download::GangRig> {
            if (i == 1) {
                return nullptr;
            }
            return std::make_unique<sim::FakeGangRig>(shared, view, receive,
                                                      optionsFor(Trouble::None), eeproms[i]);
        });
    gang.start({});
    const auto results = gang.wait();
    EXPECT_TRUE(results[0].succeeded);
    EXPECT_FALSE(results[1].succeeded);
    EXPECT_EQ(results[1].bytes, 0);
    expectWholeImage(*this, 0);
}

TEST_F(Gang, aGivenOperationRunsOnEveryLineInsteadOfTheDownload) {
    // It writes nothing: what it showed and said last is the line's result.
    struct Case {
        download::DownloadOutcome outcome;
        bool succeeded;
    };
    for (const Case c : {Case{download::DownloadOutcome::Succeeded, true},
                         Case{download::DownloadOutcome::Failed, false}}) {
        std::atomic<int> calls{0};
        state.QueryReset = true;  // a gang never clears the program
        const auto results =
            run({Trouble::None, Trouble::None}, {},
                [&](link::LinkContext&, state::MainState& window, download::DownloadView& view,
                    base::Prompter& prompter, const download::DownloadRequest& request) {
                    ++calls;
                    const bool planned = request.chosen && request.plan && *request.plan &&
                                         (*request.plan)->macros.size() == 2 && !window.QueryReset;
                    download::OverallProgress shown;
                    shown.bytesWritten = planned ? 5 : 1;
                    view.showOverallProgress(shown);
                    prompter.show("changed: 5", base::Icon::Information, base::Buttons::Ok);
                    return c.outcome;
                });
        EXPECT_EQ(calls.load(), 2);
        for (std::size_t line = 0; line < results.size(); ++line) {
            SCOPED_TRACE(line);
            EXPECT_EQ(results[line].succeeded, c.succeeded);
            EXPECT_EQ(results[line].message, "changed: 5");
            EXPECT_EQ(results[line].bytes, 5);
            EXPECT_EQ(eeprom(line, 3, 1), "\xFF");
        }
    }
}
